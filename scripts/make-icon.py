#!/usr/bin/env python3
"""Draws the program's icon and writes it as a Windows .ico file.

The icon holds three images, 48, 32 and 16 pixels square, each at 32 bits per
pixel with an alpha channel: a small oscilloscope screen (white with a grey
grid, as the program's plot) framed in dark slate, with a blue trace.

    python3 scripts/make-icon.py [OUTPUT]   (default app/resources/kurvomat.ico)

Only the standard library is used; the result is committed, so the build does
not need Python.
"""
import math
import os
import struct
import sys

SIZES = (48, 32, 16)
SUPERSAMPLE = 4

FRAME = (0x33, 0x3D, 0x4A)
SCREEN = (0xFF, 0xFF, 0xFF)
GRID = (0xBB, 0xBB, 0xBB)
TRACE = (0x00, 0x00, 0xFF)


def trace_y(u):
    """Height of the trace (0 bottom .. 1 top) at u (0 left .. 1 right)."""
    return 0.5 + 0.32 * math.sin(2.0 * math.pi * (u * 1.5 + 0.05)) + 0.04 * math.sin(
        2.0 * math.pi * u * 7.0)


def inside_rounded(x, y, size, radius):
    """True if (x, y) lies in the square of the given size with round corners."""
    cx = min(max(x, radius), size - radius)
    cy = min(max(y, radius), size - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius**2


def sample(x, y, size):
    """Colour and coverage (RGBA, 0..1 alpha) of one point of the icon."""
    radius = size * 0.16
    if not inside_rounded(x, y, size, radius):
        return None
    border = max(1.5, size / 12.0)
    left, top = border, border
    right, bottom = size - border, size - border
    if not (left <= x < right and top <= y < bottom):
        return FRAME
    width, height = right - left, bottom - top
    u = (x - left) / width
    v = (y - top) / height
    # The trace, about one pixel thick at every size.
    thickness = max(1.1, size / 26.0) / height
    distance = min(abs((1.0 - v) - trace_y(u + d / (width * 8.0))) for d in range(-8, 9))
    if distance <= thickness * 0.6:
        return TRACE
    line = max(1.0, size / 32.0)
    cells = 4
    for k in range(cells):
        if abs(x - (left + k * width / cells)) < line / 2.0 + 0.001 and k > 0:
            return GRID
        if abs(y - (top + k * height / cells)) < line / 2.0 + 0.001 and k > 0:
            return GRID
    return SCREEN


def render(size):
    """Rows of (r, g, b, a) tuples, top row first."""
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(n):
                for sx in range(n):
                    colour = sample(px + (sx + 0.5) / n, py + (sy + 0.5) / n, size)
                    if colour is not None:
                        r += colour[0]
                        g += colour[1]
                        b += colour[2]
                        a += 1.0
            if a > 0:
                row.append((round(r / a), round(g / a), round(b / a), round(255 * a / (n * n))))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def icon_image(size):
    """One image of the .ico: BITMAPINFOHEADER, BGRA rows bottom-up, AND mask."""
    rows = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def icon_file(sizes):
    images = [icon_image(size) for size in sizes]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    return bytes(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "app", "resources",
                                                                 "kurvomat.ico")
    with open(target, "wb") as f:
        f.write(icon_file(SIZES))


if __name__ == "__main__":
    main()
