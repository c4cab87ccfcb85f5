#!/usr/bin/env python3
"""Writes quillet.ico: the program icon, 32x32 and 16x16, 32-bit colour with an AND mask.

Drawn from simple shapes so that both sizes stay crisp and the file is reproducible:
a teal rounded tile, a white sheet with three lines of text, and an orange quill across it.
Run: python3 resources/make_icon.py  (writes beside this script)
"""
import os
import struct

TEAL = (0x1F, 0x6F, 0x8B)
WHITE = (0xFF, 0xFF, 0xFF)
LINE = (0x70, 0x80, 0x90)
QUILL = (0xF0, 0x8A, 0x24)
QUILL_DARK = (0x9A, 0x4A, 0x0A)


def draw(size):
    """Returns rows (top first) of (r, g, b, a) pixels."""
    s = size / 32.0
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(int(round(y0 * s)), int(round(y1 * s))):
            for x in range(int(round(x0 * s)), int(round(x1 * s))):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour + (255,)

    # Tile with cut corners (a rounded square at these sizes).
    r = 3 if size >= 32 else 1
    for y in range(size):
        for x in range(size):
            dx = max(r - x, x - (size - 1 - r), 0)
            dy = max(r - y, y - (size - 1 - r), 0)
            if dx * dx + dy * dy <= r * r:
                px[y][x] = TEAL + (255,)
    # Sheet and its lines of text.
    fill(6, 5, 24, 27, WHITE)
    for top in (9, 14, 19):
        fill(9, top, 21, top + 2, LINE)
    # The quill: a thick diagonal from the top right down to the sheet's lower middle.
    width = 2.6 if size >= 32 else 1.6
    for y in range(size):
        for x in range(size):
            u, v = x / s + 0.5 / s, y / s + 0.5 / s
            # Line from (29, 3) to (14, 24): distance of (u, v) from it, and position along it.
            ax, ay, bx, by = 29.0, 3.0, 14.0, 24.0
            lx, ly = bx - ax, by - ay
            t = ((u - ax) * lx + (v - ay) * ly) / (lx * lx + ly * ly)
            if 0 <= t <= 1:
                cx, cy = ax + t * lx, ay + t * ly
                d = ((u - cx) ** 2 + (v - cy) ** 2) ** 0.5
                w = width * (1.0 - 0.6 * t)  # narrows to the nib
                if d <= w:
                    px[y][x] = (QUILL_DARK if t > 0.8 else QUILL) + (255,)
    return px


def dib(px):
    """One icon image as Windows stores it: BITMAPINFOHEADER, BGRA rows bottom-up, AND mask."""
    size = len(px)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(
        bytes((b, g, r, a)) for row in reversed(px) for (r, g, b, a) in row)
    mask_row_bytes = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(px):
        bits = bytearray(mask_row_bytes)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + colour + bytes(mask)


def write_ico(name, draw_at, sizes=(32, 16)):
    """Writes the .ico `name` beside this script with one image per size, drawn by draw_at(size)."""
    images = [dib(draw_at(n)) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), name)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    write_ico("quillet.ico", draw)
