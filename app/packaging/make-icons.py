#!/usr/bin/env python3
"""Draws the program's thermometer icon and writes it in every form the packaging needs.

    make-icons.py [DIR]          write the files into DIR (default: this script's folder)
    make-icons.py --check [DIR]  exit 1 unless the files in DIR are what this script draws

Writes mirovane.ico (32x32 in 2 colours, 32x32 and 16x16 in 16 colours, for the Windows
executable), mirovane-N.png for N in SIZES (RGBA, for the window and the hicolor theme) and
mirovane.svg. The output is deterministic; PNGs are compared by their pixels, not their bytes,
so that another zlib does not fail the check.
"""

import math
import os
import struct
import sys
import zlib

SIZES = (16, 32, 48, 64, 128, 256)

# The colours of the drawing: (RGB for the PNGs and the SVG, index in the 16-colour palette,
# index in the black and white palette).
OUTLINE = ((46, 52, 54), 0, 0)
GLASS = ((238, 242, 246), 15, 1)
MERCURY = ((204, 0, 0), 9, 0)
SHINE = ((255, 255, 255), 15, 1)

# The standard 16-colour palette of Windows icons.
PALETTE_16 = (
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
)
PALETTE_2 = ((0, 0, 0), (255, 255, 255))


# --- Shapes: signed distances in pixels, negative inside -------------------------------------

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def capsule(cx, y0, y1, r):
    """A vertical bar with round ends, axis from (cx, y0) to (cx, y1)."""
    def d(x, y):
        return math.hypot(x - cx, y - min(max(y, y0), y1)) - r
    return d


def box(x0, y0, x1, y1):
    def d(x, y):
        dx = max(x0 - x, x - x1)
        dy = max(y0 - y, y - y1)
        outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
        return outside + min(max(dx, dy), 0.0)
    return d


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def inset(shape, by):
    return lambda x, y: shape(x, y) + by


# --- The thermometer ---------------------------------------------------------------------------

def geometry(size):
    """The drawing at one size: a list of (colour, shape, primitives for the SVG), back to front.

    Every measure is snapped to whole pixels so that the small sizes stay sharp and symmetric."""
    s = size
    cx = round(0.45 * s)                 # axis of the tube
    hw = max(2, round(0.10 * s))         # outer half width of the tube
    top = round(0.06 * s)                # top of the tube
    br = max(4, round(0.18 * s))         # outer radius of the bulb
    by = min(round(0.76 * s), s - br - 1)  # centre of the bulb
    t = max(1, round(s / 28))            # outline
    g = round(s / 32)                    # glass between the outline and the mercury
    level = round(0.36 * s)              # top of the mercury column

    tube_r, bulb_r = hw - t, br - t
    merc_hw, merc_r = tube_r - g, bulb_r - g

    layers = []

    def add(colour, shape, svg):
        layers.append((colour, shape, svg))

    add(OUTLINE, union(capsule(cx, top + hw, by, hw), circle(cx, by, br)),
        [("capsule", cx, top + hw, by, hw), ("circle", cx, by, br)])
    add(GLASS, union(capsule(cx, top + hw, by, tube_r), circle(cx, by, bulb_r)),
        [("capsule", cx, top + hw, by, tube_r), ("circle", cx, by, bulb_r)])
    add(MERCURY, union(capsule(cx, level + merc_hw, by, merc_hw), circle(cx, by, merc_r)),
        [("capsule", cx, level + merc_hw, by, merc_hw), ("circle", cx, by, merc_r)])

    if s >= 48:
        # A glint on the bulb, up and to the left.
        r = merc_r * 0.28
        off = merc_r * 0.38
        add(SHINE, circle(cx - off, by - off, r), [("circle", cx - off, by - off, r)])

    # The scale: ticks to the right of the tube, long and short in turn.
    count = 3 if s < 32 else 5
    gap = max(1, round(0.05 * s))
    long_len, short_len = max(2, round(0.14 * s)), max(1, round(0.08 * s))
    x0 = cx + hw + gap
    first, last = top + hw, by - br + t
    for i in range(count):
        y = first + (i + 0.5) * (last - first) / count
        y = round(y - t / 2) + t / 2
        x1 = x0 + (long_len if i % 2 == 0 else short_len)
        add(OUTLINE, box(x0, y - t / 2, x1, y + t / 2), [("box", x0, y - t / 2, x1, y + t / 2)])
    return layers


def render_rgba(size):
    """Anti-aliased drawing: a list of rows of (r, g, b, a) tuples."""
    layers = geometry(size)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            x, y = px + 0.5, py + 0.5
            pr = pg = pb = pa = 0.0          # premultiplied
            for (rgb, _, _), shape, _ in layers:
                cover = min(max(0.5 - shape(x, y), 0.0), 1.0)
                if cover > 0.0:
                    keep = 1.0 - cover
                    pr = rgb[0] * cover + pr * keep
                    pg = rgb[1] * cover + pg * keep
                    pb = rgb[2] * cover + pb * keep
                    pa = cover + pa * keep
            if pa > 0.0:
                row.append((round(pr / pa), round(pg / pa), round(pb / pa), round(pa * 255)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def render_indexed(size, which):
    """Hard-edged drawing for the icon file: rows of palette indices, None where transparent.

    which is 1 for the 16-colour palette, 2 for black and white."""
    layers = geometry(size)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            x, y = px + 0.5, py + 0.5
            index = None
            for colour, shape, _ in layers:
                if shape(x, y) < 0.0:
                    index = colour[which]
            row.append(index)
        rows.append(row)
    return rows


# --- File formats ------------------------------------------------------------------------------

def png_chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data
            + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def png_raw(rows):
    """The scanlines of an RGBA image, each with filter type 0."""
    out = bytearray()
    for row in rows:
        out.append(0)
        for pixel in row:
            out.extend(pixel)
    return bytes(out)


def png(rows):
    size = len(rows)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)   # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"IDAT", zlib.compress(png_raw(rows), 9)) + png_chunk(b"IEND", b""))


def png_pixels(data):
    """IHDR and the inflated image data of a PNG, to compare two files by their pixels."""
    pos, header, idat = 8, b"", b""
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        kind, body = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = body
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    return header, zlib.decompress(idat)


def bmp_rows(rows, bpp):
    """Packs rows of indices, bottom row first, each padded to 4 bytes."""
    out = bytearray()
    per_byte = 8 // bpp
    for row in reversed(rows):
        line = bytearray()
        for i in range(0, len(row), per_byte):
            byte = 0
            for value in row[i:i + per_byte]:
                byte = (byte << bpp) | value
            byte <<= bpp * (per_byte - len(row[i:i + per_byte]))
            line.append(byte)
        line.extend(b"\0" * (-len(line) % 4))
        out.extend(line)
    return bytes(out)


def ico_image(rows, bpp, palette):
    """One icon image: BITMAPINFOHEADER (height doubled), palette, XOR bitmap, AND mask."""
    size = len(rows)
    xor = bmp_rows([[0 if i is None else i for i in row] for row in rows], bpp)
    mask = bmp_rows([[1 if i is None else 0 for i in row] for row in rows], 1)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bpp, 0,
                         len(xor) + len(mask), 0, 0, len(palette), 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + colours + xor + mask


def ico():
    images = [
        (32, 1, PALETTE_2, render_indexed(32, 2)),
        (32, 4, PALETTE_16, render_indexed(32, 1)),
        (16, 4, PALETTE_16, render_indexed(16, 1)),
    ]
    data = [ico_image(rows, bpp, palette) for _, bpp, palette, rows in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, bpp, palette, _), image in zip(images, data):
        out += struct.pack("<BBBBHHII", size, size, len(palette), 0, 1, bpp, len(image), offset)
        offset += len(image)
    return out + b"".join(data)


def svg():
    def hexrgb(rgb):
        return "#%02x%02x%02x" % rgb

    def num(v):
        return ("%.2f" % v).rstrip("0").rstrip(".")

    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<!-- The mirovane thermometer, drawn by make-icons.py. -->',
             '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256"'
             ' viewBox="0 0 256 256">']
    for colour, _, prims in geometry(256):
        fill = hexrgb(colour[0])
        for prim in prims:
            if prim[0] == "circle":
                _, cx, cy, r = prim
                lines.append('  <circle cx="%s" cy="%s" r="%s" fill="%s"/>'
                             % (num(cx), num(cy), num(r), fill))
            elif prim[0] == "capsule":
                _, cx, y0, y1, r = prim
                lines.append('  <rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="%s"/>'
                             % (num(cx - r), num(y0 - r), num(2 * r), num(y1 - y0 + 2 * r),
                                num(r), fill))
            else:
                _, x0, y0, x1, y1 = prim
                lines.append('  <rect x="%s" y="%s" width="%s" height="%s" fill="%s"/>'
                             % (num(x0), num(y0), num(x1 - x0), num(y1 - y0), fill))
    lines.append("</svg>")
    return ("\n".join(lines) + "\n").encode("utf-8")


def outputs():
    files = {"mirovane.ico": ico(), "mirovane.svg": svg()}
    for size in SIZES:
        files["mirovane-%d.png" % size] = png(render_rgba(size))
    return files


def main(argv):
    check = "--check" in argv
    args = [a for a in argv if a != "--check"]
    folder = args[0] if args else os.path.dirname(os.path.abspath(__file__))
    stale = []
    for name, data in sorted(outputs().items()):
        path = os.path.join(folder, name)
        if not check:
            with open(path, "wb") as f:
                f.write(data)
            continue
        try:
            with open(path, "rb") as f:
                old = f.read()
        except OSError:
            old = None
        same = (old is not None and png_pixels(old) == png_pixels(data)) if name.endswith(
            ".png") else old == data
        if not same:
            stale.append(name)
    if stale:
        print("not what make-icons.py draws, run it again: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
