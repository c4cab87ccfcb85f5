#!/usr/bin/env python3
"""Writes info.ico: the count popup's information icon, 32-bit colour with an AND mask. A blue
"i" in a white speech balloon with a dark outline and a tail at the lower left.

Its sizes are those of the popup's icon column, 285 twips square, from 96 to 192 dpi (19, 24,
29, 33 and 38 pixels: 285 x dpi / 1440, rounded), and 16 and 32 pixels.

The balloon is round, so it is smoothed (sampled 4 x 4 times per pixel), with an outline of at
least one pixel. The "i" is placed on whole pixels at each size, centred, so its stem and serifs
stay sharp; its dot is round from 29 pixels on, and a square below. The file is the same, byte for byte, on every run.
Run: python3 resources/make_info_icon.py [FOLDER]  (writes beside this script, or into FOLDER)
"""
from make_icon import render, snap, write_ico

WHITE = (0xFF, 0xFF, 0xFF)
OUTLINE = (0x2F, 0x4F, 0x7F)
BLUE = (0x1E, 0x5A, 0xC8)

SIZES = (16, 19, 24, 29, 32, 33, 38)

# Shapes in the 32-unit design grid.
BODY = (16.0, 13.5, 15.0, 12.0)  # ellipse: centre x, y, radius x, y
TAIL = ((7.0, 20.0), (14.0, 23.5), (4.0, 30.5))
BORDER = 1.6  # outline thickness
DOT = (7.6, 2.3)  # centre y, radius (centred across)
STEM = (3.6, 11.0, 20.0)  # width, top, bottom (centred across)
SERIF = 1.6  # how far the serifs reach out from the stem, and their thickness


def in_ellipse(u, v, shrink):
    cx, cy, rx, ry = BODY
    rx, ry = rx - shrink, ry - shrink
    return ((u - cx) / rx) ** 2 + ((v - cy) / ry) ** 2 <= 1.0


def in_triangle(u, v, shrink):
    (ax, ay), (bx, by), (cx, cy) = TAIL
    # Inside when on the inner side of all three edges by at least `shrink`.
    def side(px, py, qx, qy, ox, oy):
        nx, ny = qy - py, px - qx
        length = (nx * nx + ny * ny) ** 0.5
        d = ((u - px) * nx + (v - py) * ny) / length
        ref = ((ox - px) * nx + (oy - py) * ny) / length
        return d * (1 if ref > 0 else -1) >= shrink
    return (side(ax, ay, bx, by, cx, cy) and side(bx, by, cx, cy, ax, ay)
            and side(cx, cy, ax, ay, bx, by))


def letter(size):
    """The "i" at `size` pixels: its rectangles (left, top, right, bottom) and its round dot
    (centre x, y, radius; None when the dot is one of the rectangles), in pixels."""
    s = size / 32.0
    # A stem as wide as the design asks, to the whole pixel, of the size's parity, so that it
    # sits centred on whole pixels (the wider of two equally near).
    want = STEM[0] * s
    width = min((w for w in range(size % 2 or 2, size, 2)), key=lambda w: (abs(w - want), -w))
    left = (size - width) // 2
    top, bottom = snap(STEM[1], s), snap(STEM[2], s)
    reach = max(1, snap(SERIF, s))
    rects = [
        (left, top, left + width, bottom),  # stem
        (left - reach, bottom - reach, left + width + reach, bottom),  # foot
        (left - reach, top, left + width, top + reach),  # cap, to the left
    ]
    radius = DOT[1] * s
    if radius < 2:
        # Too small to look round: a square as wide as the stem.
        dot_top = snap(DOT[0] - DOT[1], s)
        rects.append((left, dot_top, left + width, dot_top + width))
        return rects, None
    return rects, (size / 2.0, DOT[0] * s, max(radius, width / 2.0))


def draw(size):
    """Returns rows (top first) of (r, g, b, a) pixels."""
    s = size / 32.0
    border = max(BORDER, 1.0 / s)  # at least a pixel
    rects, dot = letter(size)

    def colour(x, y):
        u, v = x / s, y / s
        if not (in_ellipse(u, v, 0) or in_triangle(u, v, 0)):
            return None
        # The tail's inside joins the body's inside, so no outline runs between them.
        if not (in_ellipse(u, v, border) or (in_triangle(u, v, border) and v > 16)):
            return OUTLINE
        if dot and (x - dot[0]) ** 2 + (y - dot[1]) ** 2 <= dot[2] ** 2:
            return BLUE
        if any(l <= x < r and t <= y < b for l, t, r, b in rects):
            return BLUE
        return WHITE

    return render(size, colour)


if __name__ == "__main__":
    write_ico("info.ico", draw, SIZES)
