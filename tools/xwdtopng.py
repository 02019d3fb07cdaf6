#!/usr/bin/python3
"""Converts a 24- or 32-bit TrueColor XWD dump (as `xwd` writes it) to PNG.

    xwd -root -silent | tools/xwdtopng.py out.png [left top width height]

The optional rectangle crops the picture.
"""

import struct
import sys

from PIL import Image


def read_xwd(data):
    fields = struct.unpack(">25I", data[:100])
    header_size, version = fields[0], fields[1]
    if version != 7:
        sys.exit("not an XWD dump (version %d)" % version)
    width, height = fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    ncolors = fields[19]
    if bits_per_pixel not in (24, 32):
        sys.exit("only 24 and 32 bits per pixel are supported, not %d" % bits_per_pixel)
    offset = header_size + 12 * ncolors
    if bits_per_pixel == 32:
        raw = "BGRX" if byte_order == 0 else "XRGB"
    else:
        raw = "BGR" if byte_order == 0 else "RGB"
    return Image.frombuffer("RGB", (width, height), data[offset:offset + bytes_per_line * height],
                            "raw", raw, bytes_per_line, 1)


def main():
    if len(sys.argv) not in (2, 6):
        sys.exit(__doc__)
    image = read_xwd(sys.stdin.buffer.read())
    if len(sys.argv) == 6:
        left, top, width, height = (int(v) for v in sys.argv[2:6])
        image = image.crop((left, top, left + width, top + height))
    image.save(sys.argv[1])


if __name__ == "__main__":
    main()
