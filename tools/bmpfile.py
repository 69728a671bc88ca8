"""Uncompressed BMP writing for the artwork scripts of tools/ (the date
edit's and calendars' pictures, the slider's and spin button's, the
windows' texture): 1 or 4 bits per pixel, rows given top-down as lists of
colour-table indexes. Imported by those scripts; not run by itself.
"""
import struct

# The 16 standard colours in their usual order (entry 7 the light grey face,
# entry 13 the magenta the pictures use as see-through).
PALETTE16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def write_bmp(path, rows, bpp=4, palette=PALETTE16):
    """rows: top-down lists of palette indexes, all of one width."""
    height = len(rows)
    width = len(rows[0])
    assert all(len(r) == width for r in rows), path
    assert bpp in (1, 4), bpp
    stride = ((width * bpp + 31) // 32) * 4
    data = bytearray()
    for row in reversed(rows):  # BMP rows run bottom-up
        bits = bytearray(stride)
        for x, v in enumerate(row):
            if bpp == 4:
                bits[x // 2] |= (v & 0xF) << (4 if x % 2 == 0 else 0)
            elif v:
                bits[x // 8] |= 0x80 >> (x % 8)
        data += bits
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0, len(data), 2835, 2835, len(palette),
                       len(palette))
    offset = 14 + len(info) + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + table + data)
