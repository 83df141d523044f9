#!/usr/bin/env python3
"""Draws the program icon: 32 x 32 pixels, 256-colour palette, written as tulvex.ico.

A green rounded tile (the colour of the result pages) carrying a white sheet
with text lines and a dark-green "T" on it. Run it again after changing it:
    python3 resources/make_icon.py resources/tulvex.ico
"""
import struct
import sys

SIZE = 32
TILE_TOP, TILE_BOTTOM = (0x5e, 0x8c, 0x6a), (0x2f, 0x5c, 0x3d)
SHEET, FOLD, LINE, LETTER, EDGE = (0xff, 0xff, 0xff), (0xd6, 0xe4, 0xd6), (0x9c, 0xb4, 0x9c), (0x1f, 0x4a, 0x2c), (0x1b, 0x3a, 0x24)


def inside_tile(x, y, radius=6):
    cx = min(max(x, radius), SIZE - 1 - radius)
    cy = min(max(y, radius), SIZE - 1 - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def pixel(x, y):
    if not inside_tile(x, y):
        return None
    if x in (0, SIZE - 1) or y in (0, SIZE - 1):
        return EDGE
    if 8 <= x <= 23 and 5 <= y <= 26:
        if x >= 19 and y <= 9:  # the folded corner of the sheet
            return FOLD if x - 19 <= y - 5 else TILE_TOP
        if (10 <= x <= 18 and 8 <= y <= 10) or (13 <= x <= 15 and 8 <= y <= 17):
            return LETTER
        if y in (20, 23) and 10 <= x <= 21:
            return LINE
        return SHEET
    t = y / (SIZE - 1)
    return tuple(round(a + (b - a) * t) for a, b in zip(TILE_TOP, TILE_BOTTOM))


def main(out):
    rows = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    palette = sorted({p for row in rows for p in row if p is not None})
    assert len(palette) <= 256
    palette += [(0, 0, 0)] * (256 - len(palette))
    index = {c: i for i, c in enumerate(palette)}
    xor = b"".join(bytes(index.get(p, 0) if p else 0 for p in row) for row in reversed(rows))
    mask = b""
    for row in reversed(rows):
        bits = 0
        for x, p in enumerate(row):
            if p is None:
                bits |= 1 << (31 - x)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 8, 0, len(xor) + len(mask), 0, 0, 256, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    image = header + pal + xor + mask
    icondir = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 22)
    with open(out, "wb") as f:
        f.write(icondir + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "tulvex.ico")
