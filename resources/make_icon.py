#!/usr/bin/env python3
"""Writes quillet.ico: the program icon at 16, 20, 24, 32, 40, 48, 64 and 256 pixels, for every
scale from 100 % to 200 % (small and large icons) and for Explorer's big views.

A teal rounded tile, a white sheet with three lines of text, and an orange quill across it with a
dark nib. The sheet and the lines are placed on whole pixels at each size, so their edges stay
sharp, and the lines keep a whole-pixel rhythm; only the tile's corners and the quill, which are
round or slanted, are smoothed (sampled 4 x 4 times per pixel). The quill never gets thinner than
a pixel and a half, so it still reads at 16 pixels.

The images up to 64 pixels are 32-bit colour with an AND mask; the 256-pixel one is a PNG, as
Windows expects at that size. The file is the same, byte for byte, on every run.
Run: python3 resources/make_icon.py [FOLDER]  (writes beside this script, or into FOLDER)
"""
import os
import struct
import sys
import zlib

TEAL = (0x1F, 0x6F, 0x8B)
WHITE = (0xFF, 0xFF, 0xFF)
LINE = (0x70, 0x80, 0x90)
QUILL = (0xF0, 0x8A, 0x24)
QUILL_DARK = (0x9A, 0x4A, 0x0A)

SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
SAMPLES = 4

# The design, in a 32-unit grid.
SHEET = (6, 5, 24, 27)  # left, top, right, bottom
LINES_X = (9, 21)  # the text lines' left and right
LINES_TOP, LINES_PITCH, LINES_HEIGHT = 9, 5, 2  # first line's top, line to line, thickness
QUILL_FROM, QUILL_TO = (29.0, 3.0), (14.0, 24.0)  # the feather's end, the nib's point
QUILL_HALF_WIDTH = 2.6  # at the feather's end; it narrows to 40 % at the nib
NIB = 0.8  # the last fifth of the quill is the nib
MIN_HALF_WIDTH_PX = 0.75


def snap(units, scale):
    """A design coordinate on the nearest whole pixel (halves go up, the same at every size)."""
    return int(units * scale + 0.5)


def layout(size):
    """The shapes at `size` pixels, in pixels."""
    s = size / 32.0
    left, top, right, bottom = (snap(v, s) for v in SHEET)
    height = max(1, snap(LINES_HEIGHT, s))
    pitch = max(height + 1, snap(LINES_PITCH, s))
    first = snap(LINES_TOP, s)
    lines = [(snap(LINES_X[0], s), first + i * pitch, snap(LINES_X[1], s), first + i * pitch + height)
             for i in range(3)]
    return {
        "radius": max(1.0, 3.0 * s),
        "sheet": (left, top, right, bottom),
        "lines": lines,
        "quill": (QUILL_FROM[0] * s, QUILL_FROM[1] * s, QUILL_TO[0] * s, QUILL_TO[1] * s),
        "half_width": QUILL_HALF_WIDTH * s,
    }


def colour_at(x, y, size, shapes):
    """The colour at pixel point (x, y), or None outside the icon."""
    ax, ay, bx, by = shapes["quill"]
    lx, ly = bx - ax, by - ay
    t = ((x - ax) * lx + (y - ay) * ly) / (lx * lx + ly * ly)
    if 0 <= t <= 1:
        d = ((x - ax - t * lx) ** 2 + (y - ay - t * ly) ** 2) ** 0.5
        if d <= max(shapes["half_width"] * (1.0 - 0.6 * t), MIN_HALF_WIDTH_PX):
            return QUILL_DARK if t > NIB else QUILL
    for left, top, right, bottom in shapes["lines"]:
        if left <= x < right and top <= y < bottom:
            return LINE
    left, top, right, bottom = shapes["sheet"]
    if left <= x < right and top <= y < bottom:
        return WHITE
    # The tile: a square with quarter circles at its corners.
    r = shapes["radius"]
    dx = max(r - x, x - (size - r), 0.0)
    dy = max(r - y, y - (size - r), 0.0)
    if dx * dx + dy * dy <= r * r:
        return TEAL
    return None


def render(size, colour):
    """Rows (top first) of (r, g, b, a) pixels: colour(x, y) sampled SAMPLES x SAMPLES times."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            hits = []
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colour(x + (sx + 0.5) / SAMPLES, y + (sy + 0.5) / SAMPLES)
                    if c is not None:
                        hits.append(c)
            if not hits:
                row.append((0, 0, 0, 0))
                continue
            n = len(hits)
            r, g, b = (round(sum(c[i] for c in hits) / n) for i in range(3))
            row.append((r, g, b, round(255 * n / SAMPLES ** 2)))
        rows.append(row)
    return rows


def draw(size):
    """Returns rows (top first) of (r, g, b, a) pixels."""
    shapes = layout(size)
    return render(size, lambda x, y: colour_at(x, y, size, shapes))


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


def png(px):
    """One icon image as a PNG (8-bit RGBA, no filter, no time stamp), for 256 pixels."""
    size = len(px)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in px)
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_ico(name, draw_at, sizes):
    """Writes the .ico `name` with one image per size, drawn by draw_at(size): a PNG at 256
    pixels, a DIB below. Into the folder given on the command line, or beside this script."""
    images = [png(draw_at(n)) if n >= 256 else dib(draw_at(n)) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, data in zip(sizes, images):
        # 0 stands for 256 in the directory's one-byte width and height.
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    path = os.path.join(folder, name)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    write_ico("quillet.ico", draw, SIZES)
