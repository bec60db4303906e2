#!/usr/bin/env python3
"""Prints the share of lit pixels in an xwd window dump (ZPixmap, 24 or 32
bits per pixel): a pixel is lit when any channel is above 16."""
import struct
import sys


def lit_fraction(path):
    data = open(path, "rb").read()
    header = struct.unpack(">25I", data[:100])
    header_size, _, pixmap_format, depth, width, height = header[:6]
    byte_order, bits_per_pixel, bytes_per_line = header[7], header[11], header[12]
    ncolors = header[19]
    if pixmap_format != 2 or bits_per_pixel not in (24, 32):
        raise SystemExit("unsupported xwd: format %d, %d bpp" % (pixmap_format, bits_per_pixel))
    start = header_size + 12 * ncolors
    step = bits_per_pixel // 8
    lit = 0
    for y in range(height):
        row = data[start + y * bytes_per_line:start + y * bytes_per_line + width * step]
        for x in range(0, width * step, step):
            if max(row[x], row[x + 1], row[x + 2]) > 16:
                lit += 1
    return lit / float(width * height)


if __name__ == "__main__":
    print("%.4f" % lit_fraction(sys.argv[1]))
