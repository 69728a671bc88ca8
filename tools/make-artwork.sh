#!/bin/sh
# Draws the main window's artwork with ImageMagick: the title picture
# (resources/TITRE.gif, a GIF picture the program decodes itself) and the
# script marker (resources/SCRIPT.bmp, a 24-bit BMP). In both the lower-left
# pixel's colour (magenta) is see-through.
# Run by hand when the artwork changes; the results are committed.
set -e
cd "$(dirname "$0")/../resources"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
/usr/bin/convert -size 220x36 xc:magenta +antialias \
  -font "$font" -pointsize 24 -fill '#9aa9c8' -annotate +3+28 'Quorvant Pro' \
  -fill '#1f4e99' -annotate +1+26 'Quorvant Pro' \
  -fill '#f29d1d' -draw 'rectangle 2,31 170,33' \
  GIF:TITRE.gif
/usr/bin/convert -size 16x16 xc:magenta +antialias \
  -fill '#ffffff' -stroke '#1f4e99' -draw 'rectangle 1,1 14,14' \
  -stroke none -fill '#1f4e99' -font "$font" -pointsize 9 -annotate +2+11 '<>' \
  -type TrueColor BMP3:SCRIPT.bmp
