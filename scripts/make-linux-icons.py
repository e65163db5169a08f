#!/usr/bin/env python3
"""Writes the program's icon for Linux desktops: each image of the Windows
icon (app/resources/kurvomat.ico, 32 bits per pixel) as a PNG file.

    python3 scripts/make-linux-icons.py [ICO] [DIRECTORY]
    (defaults app/resources/kurvomat.ico and cmake/desktop)

Gives kurvomat-48.png, kurvomat-32.png and kurvomat-16.png. Only the standard
library is used; the results are committed, so the build does not need Python.
"""
import os
import struct
import sys
import zlib


def png(width, height, rows):
    """A PNG file of RGBA rows (top row first)."""
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    raw = b"".join(b"\x00" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def images(ico):
    """(size, RGBA rows) of every 32-bit image in an .ico file."""
    _, kind, count = struct.unpack("<HHH", ico[:6])
    if kind != 1:
        raise ValueError("not an icon file")
    for i in range(count):
        _, _, _, _, _, bpp, _, offset = struct.unpack("<BBBBHHII", ico[6 + 16 * i:22 + 16 * i])
        header, width, height2, _, bits = struct.unpack("<IiiHH", ico[offset:offset + 16])
        height = height2 // 2
        if bits != 32:
            continue
        pixels = offset + header
        stride = width * 4
        rows = []
        for y in range(height - 1, -1, -1):  # stored bottom row first
            row = bytearray()
            line = ico[pixels + y * stride:pixels + (y + 1) * stride]
            for x in range(width):
                b, g, r, a = line[4 * x:4 * x + 4]
                row += bytes((r, g, b, a))
            rows.append(bytes(row))
        yield width, rows


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ico_path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        here, "..", "app", "resources", "kurvomat.ico")
    out = sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "..", "cmake", "desktop")
    with open(ico_path, "rb") as f:
        ico = f.read()
    for size, rows in images(ico):
        path = os.path.join(out, "kurvomat-%d.png" % size)
        with open(path, "wb") as f:
            f.write(png(size, len(rows), rows))
        print(path)


if __name__ == "__main__":
    main()
