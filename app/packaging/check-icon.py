#!/usr/bin/env python3
"""Checks the Windows icon file: one icon group holding, in this order, 32x32 in 2 colours,
32x32 in 16 colours and 16x16 in 16 colours, each a BMP-style image (header with doubled height,
palette, colour bitmap, transparency mask) that agrees with its directory entry.

    check-icon.py FILE.ico      exit 0 when it is so, 1 with the reasons otherwise
"""

import struct
import sys

# (width, height, colours, bits per pixel), in the order the file must list them.
EXPECTED = ((32, 32, 2, 1), (32, 32, 16, 4), (16, 16, 16, 4))


def row_bytes(width, bpp):
    return (width * bpp + 31) // 32 * 4


def check(data):
    problems = []
    if len(data) < 6:
        return ["shorter than an icon header"]
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        problems.append("not an icon file (reserved %d, type %d)" % (reserved, kind))
    if count != len(EXPECTED):
        problems.append("%d images, expected %d" % (count, len(EXPECTED)))
    if len(data) < 6 + 16 * count:
        return problems + ["directory runs past the end of the file"]

    end_of_previous = 6 + 16 * count
    for i in range(min(count, len(EXPECTED))):
        width, height, colours, bpp = EXPECTED[i]
        name = "image %d (%dx%d, %d colours)" % (i + 1, width, height, colours)
        w, h, ncol, res, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data,
                                                                         6 + 16 * i)
        got = (w or 256, h or 256, ncol, bits)
        if got != (width, height, colours, bpp):
            problems.append("%s: directory entry says %dx%d, %d colours, %d bits per pixel"
                            % ((name,) + got))
            continue
        if res != 0 or planes != 1:
            problems.append("%s: reserved %d and planes %d, expected 0 and 1" % (name, res, planes))
        if offset < end_of_previous or offset + size > len(data):
            problems.append("%s: data at %d+%d overlaps or runs past the end"
                            % (name, offset, size))
            continue
        end_of_previous = offset + size

        if size < 40:
            problems.append("%s: too small for a bitmap header" % name)
            continue
        (hsize, bw, bh, bplanes, bbits, compression, image_size,
         _, _, used, _) = struct.unpack_from("<IiiHHIIiiII", data, offset)
        if hsize != 40:
            problems.append("%s: header of %d bytes, expected a 40-byte BITMAPINFOHEADER"
                            % (name, hsize))
        if (bw, bh, bplanes, bbits, compression) != (width, 2 * height, 1, bpp, 0):
            problems.append("%s: bitmap header says %dx%d, %d planes, %d bits, compression %d"
                            % (name, bw, bh, bplanes, bbits, compression))
        if used not in (0, colours):
            problems.append("%s: palette of %d colours" % (name, used))
        colour_bytes = row_bytes(width, bpp) * height
        mask_bytes = row_bytes(width, 1) * height
        if image_size not in (0, colour_bytes + mask_bytes):
            problems.append("%s: image size %d, expected %d" % (name, image_size,
                                                                 colour_bytes + mask_bytes))
        expected_size = 40 + 4 * colours + colour_bytes + mask_bytes
        if size != expected_size:
            problems.append("%s: %d bytes, expected %d" % (name, size, expected_size))
            continue
        mask = data[offset + expected_size - mask_bytes:offset + expected_size]
        stride = row_bytes(width, 1)
        opaque = any(not (mask[y * stride + x // 8] >> (7 - x % 8)) & 1
                     for y in range(height) for x in range(width))
        if not opaque:
            problems.append("%s: every pixel is transparent" % name)
    return problems


def main(argv):
    if len(argv) != 1:
        print("usage: check-icon.py FILE.ico", file=sys.stderr)
        return 2
    with open(argv[0], "rb") as f:
        problems = check(f.read())
    for problem in problems:
        print("%s: %s" % (argv[0], problem), file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
