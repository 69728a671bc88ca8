#!/usr/bin/python3
"""Builds the compiled HTML help "Quorvant Pro.chm" from help/.

Before compiling, it checks the help against the program: every help
context that the program's sources pass (forms, controls, messages with a
Help button) must have a page in the program's table of help topics
(app/HelpFile.cpp; the compiler's own context map would hold the path of
the build folder), every page must be in the project,
and every local link and anchor must exist. The pages are written in UTF-8
and compiled as Windows-1252, the program's code page, which the help
viewer reads. Any fault stops the build with a message that names it.

Usage: build-help.py <help sources> <program sources> <work folder> <output .chm>
Also writes <work folder>/help-contexts.txt: the contexts the program uses,
one a line with the page it opens.
"""
import html.parser
import os
import re
import shutil
import struct
import subprocess
import sys

PROJECT = "QuorvantPro.hhp"
TEXT_SUFFIXES = (".htm", ".html", ".hhc", ".hhk", ".hhp", ".css")

# How the program's sources give a help context: the form or control
# property, a named constant, the variable of a message routine, and a
# message call whose buttons include Help.
CONTEXT_PATTERNS = [
    re.compile(r"SetHelpContext\(\s*(\d+)\s*\)"),
    re.compile(r"\bk\w*HelpContext\w*\s*=\s*(\d+)\s*;"),
    re.compile(r"\bhelp\s*=\s*(\d+)\s*;"),
    re.compile(r"mbHelp\s*,\s*(\d+)\s*\)"),
]


def fail(message):
    sys.stderr.write("build-help: " + message + "\n")
    sys.exit(1)


def program_contexts(source_root):
    found = {}
    for folder in ("app", "engine", "framework", "controls", "services", "support"):
        base = os.path.join(source_root, folder)
        for dirpath, _, files in os.walk(base):
            for name in sorted(files):
                if not name.endswith((".cpp", ".h")):
                    continue
                path = os.path.join(dirpath, name)
                with open(path, encoding="utf-8") as f:
                    for lineno, line in enumerate(f, 1):
                        for pattern in CONTEXT_PATTERNS:
                            for m in pattern.finditer(line):
                                ctx = int(m.group(1))
                                if ctx:
                                    where = "%s:%d" % (os.path.relpath(path, source_root), lineno)
                                    found.setdefault(ctx, where)
    return found


TOPICS_SOURCE = os.path.join("app", "HelpFile.cpp")
TOPIC_ENTRY = re.compile(r'\{\s*(\d+)\s*,\s*"([^"]+)"\s*\}')


def program_topics(source_root):
    with open(os.path.join(source_root, TOPICS_SOURCE), encoding="utf-8") as f:
        text = f.read()
    start = text.find("kHelpTopics[]")
    end = text.find("};", start)
    if start < 0 or end < 0:
        fail("no table of help topics in " + TOPICS_SOURCE)
    topics = {}
    for m in TOPIC_ENTRY.finditer(text[start:end]):
        number = int(m.group(1))
        if number in topics:
            fail("help context %d has two pages in %s" % (number, TOPICS_SOURCE))
        topics[number] = m.group(2)
    return topics


def read_project(path):
    sections = {}
    current = None
    with open(path, encoding="utf-8") as f:
        for raw in f:
            line = raw.strip()
            if not line or line.startswith(";"):
                continue
            m = re.fullmatch(r"\[(\w+)\]", line)
            if m:
                current = m.group(1).upper()
                sections.setdefault(current, [])
            elif current:
                sections[current].append(line)
    return sections


class PageScan(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.links = []
        self.anchors = set()
        self.title = ""
        self._in_title = False

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if "id" in a:
            self.anchors.add(a["id"])
        if tag == "a" and "name" in a:
            self.anchors.add(a["name"])
        for key in ("href", "src"):
            if key in a and a[key]:
                self.links.append(a[key])
        if tag == "param" and (a.get("name") or "").lower() == "local":
            self.links.append(a.get("value", ""))
        if tag == "link" and a.get("href"):
            self.links.append(a["href"])
        self._in_title = tag == "title"

    def handle_endtag(self, tag):
        if tag == "title":
            self._in_title = False

    def handle_data(self, data):
        if self._in_title:
            self.title += data


def scan(path):
    p = PageScan()
    with open(path, encoding="utf-8") as f:
        p.feed(f.read())
    return p


def check_links(help_dir, files):
    scans = {name: scan(os.path.join(help_dir, name)) for name in files
             if name.endswith((".htm", ".html", ".hhc", ".hhk"))}
    for name, page in scans.items():
        if name.endswith((".htm", ".html")) and not page.title.strip():
            fail(name + " has no <title>")
        for link in page.links:
            if re.match(r"^[a-z]+:", link) or link.startswith("//"):
                fail("%s links outside the help: %s" % (name, link))
            target, _, anchor = link.partition("#")
            target = target or name
            if target not in files:
                fail("%s links to %s, which is not in the help" % (name, link))
            if anchor and anchor not in scans[target].anchors:
                fail("%s links to the missing anchor %s" % (name, link))
    return scans


def chm_directory(path):
    """Names stored in a compiled help file (its uncompressed directory)."""
    with open(path, "rb") as f:
        d = f.read()
    if d[:4] != b"ITSF":
        fail(path + " is not a compiled help file")
    diroff = struct.unpack_from("<Q", d, 0x48)[0]
    if d[diroff:diroff + 4] != b"ITSP":
        fail(path + " has no directory")
    header_len, = struct.unpack_from("<I", d, diroff + 8)
    chunk_size, = struct.unpack_from("<I", d, diroff + 0x10)
    chunks, = struct.unpack_from("<I", d, diroff + 0x2C)

    def encint(b, i):
        v = 0
        while True:
            c = b[i]
            i += 1
            v = (v << 7) | (c & 0x7F)
            if not c & 0x80:
                return v, i

    names = set()
    for k in range(chunks):
        start = diroff + header_len + k * chunk_size
        c = d[start:start + chunk_size]
        if c[:4] != b"PMGL":
            continue
        free, = struct.unpack_from("<I", c, 4)
        i = 20
        while i < chunk_size - free:
            n, i = encint(c, i)
            names.add(c[i:i + n].decode("utf-8", "replace"))
            i += n
            for _ in range(3):
                _, i = encint(c, i)
    return names


def main():
    if len(sys.argv) != 5:
        fail("usage: build-help.py <help sources> <program sources> <work folder> <output .chm>")
    help_dir, source_root, work, output = sys.argv[1:]
    sections = read_project(os.path.join(help_dir, PROJECT))
    files = [line for line in sections.get("FILES", [])]
    for name in files:
        if not os.path.isfile(os.path.join(help_dir, name)):
            fail("[FILES] names a missing file: " + name)
    on_disk = sorted(n for n in os.listdir(help_dir) if n.endswith((".htm", ".html")))
    for name in on_disk:
        if name not in files:
            fail(name + " is not listed in [FILES]")
    options = dict(line.split("=", 1) for line in sections.get("OPTIONS", []) if "=" in line)
    for key in ("Contents file", "Index file"):
        if key in options and options[key] not in files:
            files.append(options[key])
    scans = check_links(help_dir, files)

    if "ALIAS" in sections or "MAP" in sections:
        fail("the project has a context map: the program's table of help topics holds it")
    mapped = program_topics(source_root)
    for number, page in mapped.items():
        if page not in files:
            fail("context %d leads to %s, which is not in [FILES]" % (number, page))
    used = program_contexts(source_root)
    if not used:
        fail("no help context found in the program's sources")
    for number, where in sorted(used.items()):
        if number not in mapped:
            fail("help context %d (%s) has no page in %s" % (number, where, TOPICS_SOURCE))
    toc = scans.get(options.get("Contents file", ""))
    if toc:
        listed = set(toc.links)
        for name in on_disk:
            if name not in listed:
                fail(name + " is not in the table of contents")

    os.makedirs(work, exist_ok=True)
    for name in os.listdir(help_dir):
        src = os.path.join(help_dir, name)
        dst = os.path.join(work, name)
        if name.endswith(TEXT_SUFFIXES):
            with open(src, encoding="utf-8") as f:
                text = f.read()
            try:
                data = text.encode("cp1252")
            except UnicodeEncodeError as e:
                fail("%s holds a character the help's code page cannot show: %r" % (name, text[e.start:e.end]))
            with open(dst, "wb") as f:
                f.write(data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n"))
        elif os.path.isfile(src):
            shutil.copyfile(src, dst)
    compiled = os.path.join(work, options.get("Compiled file", "help.chm"))
    if os.path.exists(compiled):
        os.remove(compiled)
    run = subprocess.run(["chmcmd", "--verbosity", "1", PROJECT], cwd=work,
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, errors="replace")
    if run.returncode != 0 or not os.path.isfile(compiled):
        fail("chmcmd failed:\n" + run.stdout)
    stored = chm_directory(compiled)
    for name in files:
        if "/" + name not in stored:
            fail("the compiled help lacks " + name)
    with open(os.path.join(work, "help-contexts.txt"), "w") as f:
        for number in sorted(used):
            f.write("%d %s\n" % (number, mapped[number]))
    tmp = output + ".tmp"
    shutil.copyfile(compiled, tmp)
    os.replace(tmp, output)


if __name__ == "__main__":
    main()
