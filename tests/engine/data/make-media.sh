#!/bin/sh
# Makes the photos and MP3 files that the value-tag tests read, with
# ImageMagick, exiftool (Debian: imagemagick, libimage-exiftool-perl) and
# mutagen (python3-mutagen). Run from anywhere; writes next to this script.
# The files are committed; the expected values in
# tests/engine/MediaScriptValues_test.cpp agree with `exiftool -s` and
# mutagen on them (the reader's own formats aside).
set -e
cd "$(dirname "$0")"
IM=/usr/bin/convert
ET="exiftool -q -q -overwrite_original"

# A photo named as in the script examples, with a value holding characters
# that file names forbid.
$IM -size 24x16 gradient:orange-blue -strip -quality 80 "Holiday 2006.jpg"
$ET -ExifByteOrder=II -Make="Exemplar" -Model="Exemplar Z5" \
  -DateTimeOriginal="2006:07:14 09:08:07" -CreateDate="2006:07:14 09:08:07" \
  -ModifyDate="2006:07:15 10:00:00" -ISO=200 -ExposureTime=0.005 -FNumber=2.8 \
  -ImageDescription="Plage: Nice/Est" "Holiday 2006.jpg"

# The same kind of values in a big-endian TIFF.
$IM -size 8x8 xc:gray -strip -depth 8 -define tiff:endian=msb -compress none scan.tif
$ET -Make="Exemplar" -Model="Exemplar T1" -DateTimeOriginal="2007:01:02 03:04:05" scan.tif

# A JPEG with only a comment and one with only IPTC: neither holds EXIF.
$IM -size 8x8 xc:black -strip -quality 80 comment.jpg
$ET -Comment="Juste un commentaire" comment.jpg
$IM -size 8x8 xc:white -strip -quality 80 iptc.jpg
$ET -IPTC:City="Paris" -IPTC:ObjectName="Tour" iptc.jpg

# Audio files (fake MPEG frames behind the tags).
/usr/bin/python3 - <<'PY'
from mutagen.id3 import ID3, COMM, TALB, TCON, TIT2, TPE1, TRCK, TYER, TDRC

def audio(name, frames=3):
    with open(name, "wb") as f:
        f.write((b"\xff\xfb\x90\x64" + bytes(413)) * frames)

audio("song.mp3")
t = ID3()
for fr in (TIT2(encoding=0, text="Chanson d'\u00e9t\u00e9"), TPE1(encoding=0, text="No\u00ebl Artiste"),
           TALB(encoding=0, text="Disque"), TRCK(encoding=0, text="3/12"), TYER(encoding=0, text="2006"),
           TCON(encoding=0, text="Rock"), COMM(encoding=0, lang="fra", desc="", text="A/B: C?")):
    t.add(fr)
t.save("song.mp3", v2_version=3)

audio("song24.mp3")
t = ID3()
for fr in (TIT2(encoding=3, text="\u0152uvre \u20ac"), TPE1(encoding=3, text="Z\u00e9ro"), TDRC(encoding=3, text="2011")):
    t.add(fr)
t.save("song24.mp3", v2_version=4)

audio("notag.mp3")
with open("tiny.mp3", "wb") as f:
    f.write(b"ID3\x03")
PY
ls -l
