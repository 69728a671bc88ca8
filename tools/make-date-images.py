#!/usr/bin/env python3
"""Draws the date edit's button picture and the calendars' navigation
arrows into resources/ as 4-bit BMP files (the 16 standard colours; the
lower-left pixel of each image, magenta, is see-through).
DEDITBMP: two 13x13 cells, a calendar sheet, normal then disabled.
PREV2, PREV1, NEXT1, NEXT2: 7x7 arrows (double and single, back and on)
in 8x8 images whose last row and column stay see-through.
Run by hand when the artwork changes; the results are committed.
"""
import os

from bmpfile import write_bmp

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources")

INDEX = {"K": 0, "R": 9, "S": 7, "G": 8, "T": 13, "W": 15, ".": 13}


def parse(text):
    return [[INDEX[c] for c in line.split()] for line in text.strip().splitlines()]


SHEET = """
T T T K T T T T T K T T T
K K K K K K K K K K K K K
K R R R R R R R R R R R K
K R R R R R R R R R R R K
K K K K K K K K K K K K K
K W W W W W W W W W W W K
K W K W K W K W K W K W K
K W W W W W W W W W W W K
K W K W K W K W K W K W K
K W W W W W W W W W W W K
K W K W K W K W W W W W K
K K K K K K K K K K K K K
T T T T T T T T T T T T T
"""
DISABLED = SHEET.replace("K", "G").replace("R", "S").replace("W", "S")

PREV1 = """
. . . . K . .
. . . K K . .
. . K K K . .
. K K K K . .
. . K K K . .
. . . K K . .
. . . . K . .
"""
PREV2 = """
. . . K . . K
. . K K . K K
. K K K K K K
K K K K K K K
. K K K K K K
. . K K . K K
. . . K . . K
"""


def mirror(rows):
    return [list(reversed(r)) for r in rows]


def pad(rows):
    # A see-through last row keeps the lower-left pixel off the arrow.
    rows = [r + [INDEX["T"]] for r in rows]
    return rows + [[INDEX["T"]] * len(rows[0])]


sheet, disabled = parse(SHEET), parse(DISABLED)
write_bmp(os.path.join(OUT, "DEDITBMP.bmp"), [a + b for a, b in zip(sheet, disabled)])
write_bmp(os.path.join(OUT, "PREV1.bmp"), pad(parse(PREV1)))
write_bmp(os.path.join(OUT, "PREV2.bmp"), pad(parse(PREV2)))
write_bmp(os.path.join(OUT, "NEXT1.bmp"), pad(mirror(parse(PREV1))))
write_bmp(os.path.join(OUT, "NEXT2.bmp"), pad(mirror(parse(PREV2))))
