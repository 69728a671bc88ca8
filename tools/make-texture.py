#!/usr/bin/env python3
"""Draws the windows' texture (resources/TEXTURE.bmp): a 50x50 uncompressed
BMP of 4 bits per pixel whose pixels use only table entries 0..8, nine
greys from darkest (0) to the button face (8). The program rewrites those
nine entries from the system's button face at run time, so only the
indices matter; the greys stored here are those of a classic face
(212, 208, 200). The grain is a blurred noise field wrapped around the
edges (the picture tiles without seams) plus fine noise, weighted towards
the face so the texture stays subtle. Deterministic: the same bytes every
run. Run by hand when the artwork changes; the result is committed.
"""
import os
import random

from bmpfile import write_bmp

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources", "TEXTURE.bmp")
SIZE = 50
FACE = (212, 208, 200)
VGA_REST = [(128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128), (255, 255, 255)]


def palette():
    greys = [tuple(max(0, c - 5 * (8 - i)) for c in FACE) for i in range(9)]
    return greys + VGA_REST


def grain():
    rnd = random.Random(19730)
    field = [[rnd.random() for _ in range(SIZE)] for _ in range(SIZE)]
    for _ in range(2):  # wrap-around box blur: soft blotches, no seams
        field = [[sum(field[(y + dy) % SIZE][(x + dx) % SIZE] for dy in (-1, 0, 1) for dx in (-1, 0, 1)) / 9.0
                  for x in range(SIZE)] for y in range(SIZE)]
    lo = min(min(r) for r in field)
    hi = max(max(r) for r in field)
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            v = (field[y][x] - lo) / (hi - lo)            # 0..1, blotches
            v = 0.65 * v + 0.35 * rnd.random()            # plus fine grain
            depth = int((1.0 - v) ** 2.2 * 9.0)           # mostly light
            row.append(8 - min(8, depth))
        rows.append(row)
    return rows


if __name__ == "__main__":
    rows = grain()
    write_bmp(OUT, rows, 4, palette())
    counts = [sum(r.count(i) for r in rows) for i in range(9)]
    print("TEXTURE.bmp: index counts 0..8 =", counts)
