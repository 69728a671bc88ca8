#!/bin/sh
# Draws the program's icon (resources/MAINICON.ico) with ImageMagick: a blue
# rounded tile with two stacked file sheets and a rename arrow. Run by hand
# when the artwork changes; the result is committed.
set -e
cd "$(dirname "$0")/../resources"
tmp=$(mktemp -d)
for s in 16 32 48; do
  /usr/bin/convert -size 256x256 xc:none \
    -fill '#1f4e99' -draw 'roundrectangle 8,8 248,248 40,40' \
    -fill '#ffffff' -draw 'polygon 60,40 150,40 190,80 190,200 60,200' \
    -fill '#c9d7ee' -draw 'polygon 150,40 150,80 190,80' \
    -fill '#f29d1d' -draw 'polygon 90,120 160,120 160,100 210,140 160,180 160,160 90,160' \
    -resize ${s}x${s} "$tmp/i$s.png"
done
/usr/bin/convert "$tmp/i16.png" "$tmp/i32.png" "$tmp/i48.png" MAINICON.ico
rm -rf "$tmp"
