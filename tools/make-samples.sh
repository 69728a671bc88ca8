#!/bin/sh
# Makes the sample folder shipped with the program (samples/): a few small
# photos with EXIF values, MP3 files with ID3v2 tags, and text files. Every
# file is made here from nothing (ImageMagick, exiftool, mutagen). Run by
# hand when the samples change; the results are committed.
set -e
cd "$(dirname "$0")/../samples"
rm -f ./*
photo() { # name colour1 colour2 date model make
  /usr/bin/convert -size 160x120 "gradient:$2-$3" -quality 80 "$1"
  exiftool -q -overwrite_original -DateTimeOriginal="$4" -CreateDate="$4" -Model="$5" -Make="$6" \
    -ImageDescription="Photo de test" -Artist="Quorvant Pro" "$1"
}
photo "IMG_0001.jpg" skyblue navy "2024:07:14 10:32:05" "Lumix FZ1000" "Panasonic"
photo "IMG_0002.jpg" orange firebrick "2024:07:14 18:47:51" "Lumix FZ1000" "Panasonic"
photo "DSC_0415.JPG" lightgreen darkgreen "2023:12:24 21:05:00" "D7500" "NIKON CORPORATION"
photo "P1010042.jpg" khaki sienna "2022:08:03 07:15:42" "PowerShot G7 X" "Canon"
exiftool -q -overwrite_original -GPSLatitude=48.8566 -GPSLatitudeRef=N -GPSLongitude=2.3522 \
  -GPSLongitudeRef=E IMG_0001.jpg
/usr/bin/python3 - <<'PY'
from mutagen.id3 import ID3, TIT2, TPE1, TALB, TRCK, TDRC, TCON, COMM
# A few silent MPEG-1 layer III frames (128 kbit/s, 44.1 kHz) as the audio.
frame = bytes([0xFF, 0xFB, 0x90, 0x64]) + bytes(413)
songs = [
    ("01 - ouverture.mp3", "Ouverture", "Les Rameurs", "Au fil de l'eau", "1", "2019", "Jazz"),
    ("02 - la riviere.mp3", "La rivi\u00e8re", "Les Rameurs", "Au fil de l'eau", "2", "2019", "Jazz"),
    ("piste inconnue.mp3", "\u00c9t\u00e9 indien", "Camille Ardent", "Saisons", "7", "2021", "Chanson"),
]
for name, title, artist, album, track, year, genre in songs:
    with open(name, "wb") as f:
        f.write(frame * 40)
    tag = ID3()
    tag.add(TIT2(encoding=1, text=title))
    tag.add(TPE1(encoding=1, text=artist))
    tag.add(TALB(encoding=1, text=album))
    tag.add(TRCK(encoding=0, text=track))
    tag.add(TDRC(encoding=0, text=year))
    tag.add(TCON(encoding=0, text=genre))
    tag.add(COMM(encoding=1, lang="fra", desc="", text="Exemple"))
    tag.save(name, v2_version=3)
PY
printf 'Liste des courses\r\n- pain\r\n- fromage\r\n' > "Liste de courses.txt"
printf 'Notes de r\xe9union du lundi\r\n' | iconv -f latin1 -t latin1 > "notes réunion.txt"
printf 'Lisez-moi\r\n' > "LISEZMOI.TXT"
printf 'Brouillon\r\n' > "brouillon v2 (copie).txt"
ls -la
