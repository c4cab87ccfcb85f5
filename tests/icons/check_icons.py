#!/usr/bin/env python3
"""Checks the icon files the program is built with: each holds exactly the sizes Windows asks for
at the scales the program supports, each image is stored as Windows reads it at its size, and the
pictures are what the generators draw now (so a changed generator was run and its output checked
in). Compares the PNG's pixels rather than its compressed bytes, which depend on zlib's version.
  check_icons.py RESOURCES_FOLDER
"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

# Small icons at 100 to 200 % (16, 20, 24, 32), large ones (32, 40, 48, 64), Explorer's big
# views (256).
APP_SIZES = [16, 20, 24, 32, 40, 48, 64, 256]
# The popup's icon column is 285 twips square: 285 x dpi / 1440 pixels, to the nearest, from 96
# to 192 dpi; and 16 and 32 for the places that ask for the system's sizes.
INFO_SIZES = sorted({16, 32} | {int(285 * dpi / 1440 + 0.5) for dpi in (96, 120, 144, 168, 192)})

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def images(data, problems):
    """{size: the picture's content} of an .ico file's bytes; what is wrong goes to `problems`."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        problems.append("not an icon file")
        return {}
    found = {}
    for i in range(count):
        w, h, colours, _, planes, bits, size, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i)
        n = w or 256
        where = f"the {n}-pixel image"
        if h != w or colours != 0 or planes != 1 or bits != 32:
            problems.append(f"{where}: directory entry {w}x{h}, {colours} colours, "
                            f"{planes} planes, {bits} bits")
        if offset + size > len(data):
            problems.append(f"{where}: reaches past the end of the file")
            continue
        image = data[offset:offset + size]
        if n in found:
            problems.append(f"{where} twice")
        if image.startswith(PNG_SIGNATURE):
            found[n] = png_pixels(image, n, where, problems)
        else:
            found[n] = image
            check_dib(image, n, where, problems)
    return found


def png_pixels(image, n, where, problems):
    """The decompressed scan lines of a PNG; checks that it is n x n, 8-bit RGBA."""
    if n != 256:
        problems.append(f"{where}: a PNG (below 256 pixels the images are bitmaps)")
    pos, ihdr, idat = len(PNG_SIGNATURE), None, b""
    while pos + 8 <= len(image):
        length, kind = struct.unpack_from(">I4s", image, pos)
        body = image[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            ihdr = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    if not ihdr or ihdr[:4] != (n, n, 8, 6):
        problems.append(f"{where}: PNG header {ihdr}, not {n}x{n} 8-bit RGBA")
    try:
        return zlib.decompress(idat)
    except zlib.error:
        problems.append(f"{where}: its PNG data does not decompress")
        return b""


def check_dib(image, n, where, problems):
    if n >= 256:
        problems.append(f"{where}: a bitmap (Windows expects a PNG at 256 pixels)")
    header = struct.unpack_from("<IiiHHI", image, 0)
    mask_row = (n + 31) // 32 * 4
    if header != (40, n, 2 * n, 1, 32, 0):
        problems.append(f"{where}: bitmap header {header}, not {n}x{n}, 32 bits, uncompressed")
    elif len(image) != 40 + n * n * 4 + mask_row * n:
        problems.append(f"{where}: {len(image)} bytes, not a colour image and an AND mask")


def main():
    folder = sys.argv[1]
    problems = []
    with tempfile.TemporaryDirectory() as fresh:
        for name, generator, sizes in (("quillet.ico", "make_icon.py", APP_SIZES),
                                       ("info.ico", "make_info_icon.py", INFO_SIZES)):
            subprocess.run([sys.executable, os.path.join(folder, generator), fresh], check=True)
            found = []
            with open(os.path.join(folder, name), "rb") as f:
                checked_in = images(f.read(), found)
            with open(os.path.join(fresh, name), "rb") as f:
                drawn = images(f.read(), [])
            problems += [f"{name}: {p}" for p in found]
            if sorted(checked_in) != sizes:
                problems.append(f"{name}: sizes {sorted(checked_in)}, not {sizes}")
            for n in sorted(set(checked_in) & set(drawn)):
                if checked_in[n] != drawn[n]:
                    problems.append(f"{name}: the {n}-pixel image is not what {generator} draws")
    for p in problems:
        print(p)
    print(f"icons: {len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
