#!/usr/bin/env python3
"""Draws the default images of the slider and the spin button's arrows into
resources/ as uncompressed BMP files, from the pixel maps below.

Slider (4 bits per pixel, the 16 standard colours in their usual order, so
entry 7 is the light grey face that the program recolours to the system's
button face): W95_HTB 18x17 and W95_VTB 38x9 (thumbs, normal state on the
left and pressed/disabled state on the right), W95_HRL 10x8 and W95_VRL 8x10
(rulers with 2-pixel end caps). The lower-left pixel of each image is its
transparent colour (magenta here).
Spin button (1 bit per pixel): QXSPINUP and QXSPINDOWN 6x6, black arrows on
white, white being their lower-left (transparent) colour.

Run by hand when the artwork changes; the results are committed.
"""
import os

from bmpfile import PALETTE16, write_bmp

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources")

# Map letters: K black, G grey (shadow), S light grey (face), W white
# (highlight), T magenta (transparent).
INDEX = {"K": 0, "S": 7, "G": 8, "T": 13, "W": 15}


def parse(text):
    return [[INDEX[c] for c in line.split()] for line in text.strip().splitlines()]


# Horizontal thumb, normal state: a raised block with a point towards the
# ticks below it.
THUMB_H = parse("""
W W W W W W W W K
W S S S S S S G K
W S S S S S S G K
W S S S S S S G K
W S S S S S S G K
W S S S S S S G K
W S S S S S S G K
W S S S S S S G K
W S S S S S S G K
W S S S S S S G K
W S S S S S S G K
W S S S S S S G K
W S S S S S S G K
T W S S S S G K T
T T W S S G K T T
T T T W G K T T T
T T T T K T T T T
""")

# The sunken channel: outer shadow, inner dark, inner light, outer highlight.
RULER_H = parse("""
T T T T T T T T T T
T T T T T T T T T T
G G G G G G G G G W
G K K K K K K K S W
G K S S S S S S S W
W W W W W W W W W W
T T T T T T T T T T
T T T T T T T T T T
""")


def pressed(state):
    """The pressed (and disabled) look: the face dithered with white."""
    out = []
    for y, row in enumerate(state):
        out.append([INDEX["W"] if v == INDEX["S"] and (x + y) % 2 == 0 else v for x, v in enumerate(row)])
    return out


def side_by_side(a, b):
    return [ra + rb for ra, rb in zip(a, b)]


def transpose(rows):
    return [list(col) for col in zip(*rows)]


def vertical_thumb():
    """The horizontal thumb turned to point right, its body 15 pixels long."""
    h = THUMB_H
    columns = [h[0]] + [h[1]] * 14 + h[13:17]  # body edge, body, point
    rows = transpose(columns)  # 9 rows of 19
    rows[8][0] = INDEX["T"]  # a rounded corner keeps the lower-left pixel transparent
    return rows


def main():
    write_bmp(os.path.join(OUT, "W95_HTB.bmp"), side_by_side(THUMB_H, pressed(THUMB_H)), 4, PALETTE16)
    write_bmp(os.path.join(OUT, "W95_HRL.bmp"), RULER_H, 4, PALETTE16)
    v = vertical_thumb()
    write_bmp(os.path.join(OUT, "W95_VTB.bmp"), side_by_side(v, pressed(v)), 4, PALETTE16)
    write_bmp(os.path.join(OUT, "W95_VRL.bmp"), transpose(RULER_H), 4, PALETTE16)
    up = [[0 if c == "#" else 1 for c in line] for line in [
        "......",
        "..##..",
        ".####.",
        "######",
        "......",
        "......",
    ]]
    write_bmp(os.path.join(OUT, "QXSPINUP.bmp"), up, 1, [(0, 0, 0), (255, 255, 255)])
    down = [up[i] for i in (0, 5, 3, 2, 1, 4)]  # the same arrow, upside down, one row lower
    write_bmp(os.path.join(OUT, "QXSPINDOWN.bmp"), down, 1, [(0, 0, 0), (255, 255, 255)])


if __name__ == "__main__":
    main()
