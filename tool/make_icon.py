#!/usr/bin/env python3
"""Draws Kestrovane's icon and writes it as kestrovane.ico beside this script; with --check,
only compares the two.

The picture: a dark-blue rounded tile with a white page whose lines are log lines, and a
green switch knob at its foot, set to "on". Sizes 16, 32 and 48, 32-bit with alpha.
"""
import os
import struct
import sys

BACKGROUND = (0x1F, 0x3A, 0x5F, 0xFF)
PAGE = (0xF4, 0xF4, 0xF0, 0xFF)
LINE = (0x5A, 0x6E, 0x82, 0xFF)
KNOB = (0x2E, 0xB8, 0x5C, 0xFF)
CLEAR = (0, 0, 0, 0)


def pixel(x, y, n):
    """The colour at (x, y) of an n-by-n picture; y counts from the top."""
    u, v = (x + 0.5) / n, (y + 0.5) / n
    corner = 0.18
    dx = max(corner - u, 0, u - (1 - corner))
    dy = max(corner - v, 0, v - (1 - corner))
    if dx * dx + dy * dy > corner * corner:
        return CLEAR
    if 0.25 <= u <= 0.75 and 0.12 <= v <= 0.70:
        for row in range(4):
            top = 0.22 + row * 0.11
            if top <= v < top + 0.05 and u <= 0.66 - (0.12 if row % 2 else 0):
                return LINE
        return PAGE
    if (u - 0.5) ** 2 + (v - 0.84) ** 2 <= 0.09 ** 2:
        return KNOB
    return BACKGROUND


def image(n):
    rows = []
    for y in reversed(range(n)):  # a DIB is stored bottom row first
        rows.append(b"".join(struct.pack("<4B", b, g, r, a)
                             for (r, g, b, a) in (pixel(x, y, n) for x in range(n))))
    mask_row = b"\0" * (((n + 31) // 32) * 4)
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
    return header + b"".join(rows) + mask_row * n


def icon(sizes):
    images = [image(n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


if __name__ == "__main__":
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "kestrovane.ico")
    drawn = icon([16, 32, 48])
    if sys.argv[1:] == ["--check"]:  # is the committed icon what this script draws?
        with open(path, "rb") as f:
            sys.exit(0 if f.read() == drawn else "kestrovane.ico is not what make_icon.py draws")
    with open(path, "wb") as f:
        f.write(drawn)
