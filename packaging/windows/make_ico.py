#!/usr/bin/env python3
"""Packs the program's PNG icons (painted by packaging/draw_icons.cpp) into
one Windows .ico, each size kept as PNG, as Windows reads them since Vista:
    make_ico.py OUTPUT.ico SIZE.png...
The cross build cannot run the painter, so the result is kept in the source
tree (packaging/windows/listora.ico); a test of the Linux build checks that it
is still what the painter makes."""
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit("not a PNG")
    return struct.unpack(">II", data[16:24])


def main(output, pngs):
    images = [open(p, "rb").read() for p in pngs]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for data in images:
        width, height = png_size(data)
        # 256 is written as 0 in the one-byte fields.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32,
                               len(data), offset)
        offset += len(data)
    with open(output, "wb") as f:
        f.write(header + entries + b"".join(images))


if __name__ == "__main__":
    if len(sys.argv) < 3:
        raise SystemExit("usage: make_ico.py OUTPUT.ico SIZE.png...")
    main(sys.argv[1], sys.argv[2:])
