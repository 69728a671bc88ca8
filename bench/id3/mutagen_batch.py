#!/usr/bin/python3
"""Baseline for bench_id3: reads the ID3 tag of every file listed in argv[1]
(one path a line) with mutagen, in one process. Prints on stdout one line a
file: title, artist, album, track, year, genre and comment separated by tabs,
in cp1252 ('?' for what it lacks), trimmed as the reader trims. A file
without a tag gives seven empty fields, as the reader does, so a mixed folder
can be read; one whose tag mutagen refuses gives them too, and is counted.
On stderr: loop_seconds=<time of the loop alone>, rchar=<bytes read by the
loop>, untagged=<files without a tag> and refused=<tags mutagen refused>.
"""
import sys
import time

from mutagen import MutagenError
from mutagen.id3 import ID3, ID3NoHeaderError

BLANKS = "".join(chr(i) for i in range(33))


def rchar():
    try:
        with open("/proc/self/io") as f:
            for line in f:
                if line.startswith("rchar:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def first(tags, fid):
    frames = tags.getall(fid)
    return str(frames[0].text[0]) if frames and frames[0].text else ""


def clean(s):
    return s.encode("cp1252", errors="replace").strip(BLANKS.encode()).replace(b"\t", b" ")


def main():
    paths = open(sys.argv[1], encoding="utf-8").read().splitlines()
    out = []
    r0 = rchar()
    t0 = time.perf_counter()
    untagged = refused = 0
    for p in paths:
        try:
            tags = ID3(p)
        except ID3NoHeaderError:
            untagged += 1
            out.append(b"\t" * 6)
            continue
        except MutagenError:
            refused += 1
            out.append(b"\t" * 6)
            continue
        comms = tags.getall("COMM")
        fields = [first(tags, "TIT2"), first(tags, "TPE1"), first(tags, "TALB"), first(tags, "TRCK"),
                  (first(tags, "TYER") or first(tags, "TDRC"))[:4], first(tags, "TCON"),
                  str(comms[0].text[0]) if comms and comms[0].text else ""]
        out.append(b"\t".join(clean(f) for f in fields))
    t1 = time.perf_counter()
    r1 = rchar()
    sys.stdout.buffer.write(b"\n".join(out) + b"\n")
    sys.stderr.write("loop_seconds=%.6f\nrchar=%d\nuntagged=%d\nrefused=%d\n" % (t1 - t0, r1 - r0, untagged, refused))


if __name__ == "__main__":
    main()
