#!/bin/sh
# Makes the GIF files of the reader's differential test with ImageMagick,
# and expected.txt: for every frame of every file, what ImageMagick reads
# (size, offset, delay in 1/100 s, disposal, and an FNV-1a 64 hash of its
# RGBA pixels with see-through pixels counted as 0,0,0,0). Run by hand when
# the set changes; the results are committed.
set -e
cd "$(dirname "$0")"
C=/usr/bin/convert
rm -f ./*.gif expected.txt

# 2 colours, odd size: minimum code size 2.
$C -size 37x23 pattern:checkerboard -monochrome two.gif
# 4 colours, 10 rows, interlaced: the four passes over an odd height.
$C -size 7x10 gradient:white-black -colors 4 -interlace GIF four_interlaced.gif
# 8 and 32 colours: code sizes 3 and 5.
$C -size 33x17 gradient:red-blue -colors 8 eight.gif
$C -seed 3 -size 61x41 plasma:fractal -colors 32 thirtytwo.gif
# 256 colours of noise: the code table fills and is cleared many times.
$C -seed 7 -size 200x150 plasma:fractal -colors 256 full256.gif
$C -seed 11 -size 120x90 plasma:fractal -colors 200 -interlace GIF big_interlaced.gif
# See-through pixels.
$C -size 40x30 xc:red -fill blue -draw 'circle 20,15 20,5' -fill yellow -draw 'rectangle 0,0 8,8' \
  -transparent blue transparent.gif
# Three frames: delays, offsets, disposal, a local colour table, looping.
$C -delay 20 -size 30x20 xc:red -delay 35 \( -size 10x8 xc:green -repage +5+4 \) \
  -dispose Background \( -size 16x16 gradient:yellow-blue -repage +2+1 \) -loop 3 anim.gif
# A comment extension.
$C -size 9x9 xc:teal -set comment 'Quorvant Pro: commentaire de test' comment.gif

/usr/bin/python3 - <<'PY'
import glob, subprocess
def fnv(data):
    h = 0xcbf29ce484222325
    for b in data:
        h = ((h ^ b) * 0x100000001b3) & 0xFFFFFFFFFFFFFFFF
    return h
disposals = {"Undefined": 0, "None": 1, "Background": 2, "Previous": 3}
lines = []
for name in sorted(glob.glob("*.gif")):
    info = subprocess.run(["identify", "-format", "%w %h %X %Y %T %D\n", name],
                          capture_output=True, text=True, check=True).stdout.split("\n")
    for i, line in enumerate(l for l in info if l):
        w, h, x, y, delay, disposal = line.split()
        rgba = subprocess.run(["/usr/bin/convert", "%s[%d]" % (name, i), "-depth", "8", "rgba:-"],
                              capture_output=True, check=True).stdout
        norm = bytearray()
        for k in range(0, len(rgba), 4):
            norm += bytes(4) if rgba[k + 3] == 0 else rgba[k:k + 3] + b"\xff"
        lines.append("%s %d %s %s %d %d %s %d %016x" % (name, i, w, h, int(x), int(y), delay,
                                                     disposals.get(disposal, 0), fnv(norm)))
open("expected.txt", "w").write("\n".join(lines) + "\n")
PY
