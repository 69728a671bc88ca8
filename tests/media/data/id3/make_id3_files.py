#!/usr/bin/python3
"""Writes the ID3v2.3 and v2.4 test files of this folder with mutagen (Debian
python3-mutagen) on small fake MP3 payloads, then reads every file back with
mutagen and writes expected.txt: what the reader must give for each field.

Run from anywhere: /usr/bin/python3 tests/media/data/id3/make_id3_files.py
The files are committed; rerun only to change the set (keep it small).

expected.txt: one "file<TAB>field<TAB>value" a line, the value in cp1252 with
every byte outside printable ASCII written as \\xHH.
"""
import os
import random
import re

from mutagen.id3 import (ID3, APIC, COMM, TALB, TCOM, TCON, TCOP, TDRC, TENC, TIT1, TIT2, TLAN,
                         TOAL, TOPE, TPE1, TRCK, TSIZ, TXXX, TYER, WXXX)

HERE = os.path.dirname(os.path.abspath(__file__))
rng = random.Random(7)


def fake_mp3(frames=3):
    # MPEG-1 layer III, 128 kbit/s, 44.1 kHz: 417-byte frames of silence.
    return (b"\xff\xfb\x90\x64" + bytes(413)) * frames


def picture(size):
    return APIC(encoding=0, mime="image/jpeg", type=3, desc="Cover",
                data=bytes(rng.getrandbits(8) for _ in range(size)))


# name, version, frames (in insertion order)
CASES = [
    ("v23_latin1", 3, [TIT2(encoding=0, text="Chanson d'\u00e9t\u00e9"), TPE1(encoding=0, text="No\u00ebl Art"),
                       TALB(encoding=0, text="Album \u00ff"), TRCK(encoding=0, text="3/12"),
                       TYER(encoding=0, text="1998"), TCON(encoding=0, text="Rock"),
                       COMM(encoding=0, lang="fra", desc="", text="Tr\u00e8s bien"),
                       TCOM(encoding=0, text="Compositeur"), TENC(encoding=0, text="lame"),
                       TCOP(encoding=0, text="(C) 1998"), TLAN(encoding=0, text="fra"),
                       WXXX(encoding=0, desc="", url="http://exemple.fr/"), TSIZ(encoding=0, text="123456")]),
    ("v23_utf16", 3, [TIT2(encoding=1, text="\u0152uvre \u20ac \u00ff\u013f"), TPE1(encoding=1, text="\u65e5\u672c\u8a9e"),
                      TALB(encoding=1, text="L'\u00e9t\u00e9 \U0001f3b5"), TRCK(encoding=1, text="7"),
                      TYER(encoding=1, text="2001"), TCON(encoding=1, text="Chanson fran\u00e7aise"),
                      COMM(encoding=1, lang="fra", desc="A\u0100", text="Commentaire \u00e0 lire"),
                      WXXX(encoding=1, desc="Lien \u0100", url="http://exemple.fr/lien")]),
    ("v23_picture_first", 3, [picture(4000), TIT2(encoding=0, text="Apr\u00e8s l'image"),
                              TPE1(encoding=1, text="Artiste"), COMM(encoding=1, lang="eng", desc="", text="Hello"),
                              TRCK(encoding=0, text="1/1"), TCON(encoding=0, text="(17)Rock"),
                              TYER(encoding=0, text="2010"), TALB(encoding=0, text="Disque")]),
    ("v23_fallbacks", 3, [TIT1(encoding=0, text="Groupe de titres"), TOPE(encoding=1, text="Interpr\u00e8te original"),
                          TOAL(encoding=0, text="Album original"), TDRC(encoding=0, text="2004-05-06"),
                          TCON(encoding=0, text="(13)")]),
    ("v23_multi", 3, [TIT2(encoding=1, text=["Un", "Deux"]), TPE1(encoding=0, text=["A", "B"]),
                      TXXX(encoding=0, desc="x", text="y" * 300), TALB(encoding=0, text="  espaces  ")]),
    ("v23_big_picture", 3, [TIT2(encoding=0, text="Titre"), picture(40000), TPE1(encoding=0, text="Apr\u00e8s"),
                            COMM(encoding=0, lang="fra", desc="d", text="Fin")]),
    ("v24_latin1", 4, [TIT2(encoding=0, text="Caf\u00e9"), TPE1(encoding=0, text="Artiste"), TALB(encoding=0, text="Album"),
                       TRCK(encoding=0, text="04/10"), TDRC(encoding=0, text="2004-05-06"),
                       TCON(encoding=0, text="Jazz"), COMM(encoding=0, lang="fra", desc="", text="Bien"),
                       TCOM(encoding=0, text="C"), TENC(encoding=0, text="E"), TCOP(encoding=0, text="(C)"),
                       TLAN(encoding=0, text="fra"), WXXX(encoding=0, desc="", url="http://a.fr/")]),
    ("v24_utf16", 4, [TIT2(encoding=1, text="\u00c9t\u00e9 \u00ff\u013f\u20ac"), TPE1(encoding=1, text="Dvo\u0159\u00e1k"),
                      TALB(encoding=1, text="\u041f\u0440\u0438\u0432\u0435\u0442"), TRCK(encoding=1, text="2"),
                      TDRC(encoding=1, text="1975"), TCON(encoding=1, text="Classique"),
                      COMM(encoding=1, lang="fra", desc="A\u0100", text="Deuxi\u00e8me"),
                      WXXX(encoding=1, desc="\u0100", url="http://b.fr/x")]),
    ("v24_utf16be", 4, [TIT2(encoding=2, text="Grand-boutien \u00e9"), TPE1(encoding=2, text="\u0152dipe"),
                        TALB(encoding=2, text="Album \u2019s"), TRCK(encoding=2, text="9/9"),
                        TDRC(encoding=2, text="1980"), TCON(encoding=2, text="Pop"),
                        COMM(encoding=2, lang="fra", desc="desc\u0100", text="Comment \u00e9"),
                        WXXX(encoding=2, desc="d", url="http://c.fr/")]),
    ("v24_utf8", 4, [TIT2(encoding=3, text="na\u00efve \u2013 \u65e5"), TPE1(encoding=3, text="Bj\u00f6rk"),
                     TALB(encoding=3, text="\U0001f600 \u00e0 la plage"), TRCK(encoding=3, text="11/20"),
                     TDRC(encoding=3, text="2020-01"), TCON(encoding=3, text="\u00c9lectro"),
                     COMM(encoding=3, lang="fra", desc="\u00e9", text="Tr\u00e8s \u20ac"),
                     TCOM(encoding=3, text="Fr\u00e9d\u00e9ric"), WXXX(encoding=3, desc="\u00e9", url="http://d.fr/")]),
    ("v24_multi", 4, [TIT2(encoding=3, text=["Premier", "Second"]), TPE1(encoding=1, text=["Un", "Deux"]),
                      TALB(encoding=0, text=["X", "Y"]), TCON(encoding=3, text=["Rock", "Pop"])]),
    ("v24_picture_first", 4, [picture(6000), TIT2(encoding=3, text="Apr\u00e8s l'image"),
                              COMM(encoding=1, lang="eng", desc="", text="Hello"), TRCK(encoding=0, text="5"),
                              TDRC(encoding=0, text="1999"), TPE1(encoding=2, text="Artiste")]),
    ("v24_fallbacks", 4, [TIT1(encoding=3, text="Groupe"), TOPE(encoding=2, text="Original"),
                          TOAL(encoding=1, text="Album d'origine"), TDRC(encoding=0, text="2011-12-13T10:00")]),
    ("v24_empty_tag", 4, []),
]

GENRE_REF = re.compile(r"^(\((\d+|RX|CR)\))+")
BLANKS = "".join(chr(i) for i in range(33))


def first(tags, fid):
    frames = tags.getall(fid)
    if not frames or not frames[0].text:
        return ""
    return str(frames[0].text[0])


def clean(s):
    # The reader keeps a text up to its first terminator, trimmed of spaces
    # and control characters, in cp1252 with '?' for what cp1252 lacks.
    return s.split("\0")[0].encode("cp1252", errors="replace").strip(BLANKS.encode())


def expected(path):
    # translate=False: the frames as stored, not upgraded to 2.4 (which would
    # turn "(13)" into "Pop" and drop TSIZ).
    tags = ID3(path, translate=False)
    title = first(tags, "TIT2") or first(tags, "TIT1")
    artist = first(tags, "TPE1") or first(tags, "TOPE")
    album = first(tags, "TALB") or first(tags, "TOAL")
    year = first(tags, "TYER") or first(tags, "TDRC")[:4]
    genre = GENRE_REF.sub("", first(tags, "TCON"))
    comms = tags.getall("COMM")
    links = tags.getall("WXXX")
    track = first(tags, "TRCK")
    number = track.split("/")[0].strip()
    return {
        "title": title, "artist": artist, "album": album, "trackstring": track,
        "track": number if number.isdigit() and int(number) < 65536 else "0",
        "year": year, "genre": genre,
        "comment": comms[0].text[0] if comms else "",
        "composer": first(tags, "TCOM"), "encoder": first(tags, "TENC"),
        "copyright": first(tags, "TCOP"), "language": first(tags, "TLAN"),
        "link": links[0].url if links else "", "tsiz": first(tags, "TSIZ"),
    }


def escape(b):
    return "".join(chr(c) if 0x20 <= c < 0x7F and c != 0x5C else "\\x%02X" % c for c in b)


def synchsafe(n):
    return bytes(((n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F))


def picture_to_front(path):
    # mutagen writes the largest frames last; readers must also skip a
    # picture that comes before the text frames, so move it to the front.
    data = open(path, "rb").read()
    version = data[3]
    size = (data[6] << 21) | (data[7] << 14) | (data[8] << 7) | data[9]
    pos, frames = 10, []
    while pos + 10 <= 10 + size and data[pos] != 0:
        n = int.from_bytes(data[pos + 4:pos + 8], "big")
        if version == 4:
            n = (data[pos + 4] << 21) | (data[pos + 5] << 14) | (data[pos + 6] << 7) | data[pos + 7]
        frames.append(data[pos:pos + 10 + n])
        pos += 10 + n
    frames.sort(key=lambda f: f[:4] != b"APIC")
    body = b"".join(frames)
    body += bytes(size - len(body))
    with open(path, "wb") as f:
        f.write(data[:6] + synchsafe(len(body)) + body + data[10 + size:])


def main():
    lines = []
    for name, version, frames in CASES:
        path = os.path.join(HERE, name + ".mp3")
        with open(path, "wb") as f:
            f.write(fake_mp3())
        tags = ID3()
        for fr in frames:
            tags.add(fr)
        tags.save(path, v2_version=version, padding=lambda info: 64)
        if "picture_first" in name:
            picture_to_front(path)
        for field, value in expected(path).items():
            if field == "track":
                value = str(int(value))
            lines.append("%s\t%s\t%s" % (name + ".mp3", field, escape(clean(value))))
    with open(os.path.join(HERE, "expected.txt"), "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
