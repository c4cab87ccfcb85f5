#!/usr/bin/env python3
"""Writes info.ico: the count popup's information icon, 32x32 and 16x16, 32-bit colour with an
AND mask. A blue "i" in a white speech balloon with a dark outline and a tail at the lower left.

Drawn from simple shapes, sampled 4 x 4 times per pixel so that the edges are smooth at both
sizes and the file is reproducible.
Run: python3 resources/make_info_icon.py  (writes beside this script)
"""
from make_icon import write_ico

WHITE = (0xFF, 0xFF, 0xFF)
OUTLINE = (0x2F, 0x4F, 0x7F)
BLUE = (0x1E, 0x5A, 0xC8)
SAMPLES = 4

# Shapes in the 32-unit design grid.
BODY = (16.0, 13.5, 15.0, 12.0)  # ellipse: centre x, y, radius x, y
TAIL = ((7.0, 20.0), (14.0, 23.5), (4.0, 30.5))
BORDER = 1.6  # outline thickness
DOT = (16.0, 7.6, 2.3)  # centre x, y, radius
STEM = (14.2, 11.0, 17.8, 20.0)  # left, top, right, bottom
FOOT = (12.6, 18.4, 19.4, 20.0)  # the stem's base serif
CAP = (12.6, 11.0, 17.8, 12.6)  # the stem's top serif, to the left


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


def in_rect(u, v, rect):
    left, top, right, bottom = rect
    return left <= u <= right and top <= v <= bottom


def colour_at(u, v):
    """The colour at design point (u, v), or None outside the icon."""
    outer = in_ellipse(u, v, 0) or in_triangle(u, v, 0)
    if not outer:
        return None
    # The tail's inside joins the body's inside, so no outline runs between them.
    inner = in_ellipse(u, v, BORDER) or (in_triangle(u, v, BORDER) and v > 16)
    if not inner:
        return OUTLINE
    dx, dy, r = DOT
    if (u - dx) ** 2 + (v - dy) ** 2 <= r * r:
        return BLUE
    if in_rect(u, v, STEM) or in_rect(u, v, FOOT) or in_rect(u, v, CAP):
        return BLUE
    return WHITE


def draw(size):
    """Returns rows (top first) of (r, g, b, a) pixels."""
    scale = 32.0 / size
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            hits = []
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    u = (x + (sx + 0.5) / SAMPLES) * scale
                    v = (y + (sy + 0.5) / SAMPLES) * scale
                    c = colour_at(u, v)
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


if __name__ == "__main__":
    write_ico("info.ico", draw)
