#!/usr/bin/env python3
"""Writes 24-bit .bmp files, so that the programs' built-in bitmaps are made from readable text at build
time and the tests can make the skin files they need.

  make_bitmap.py ART OUT             from a pixel-art file: lines "c RRGGBB" name the colours, a line "---"
                                     follows them, then one line of colour letters per pixel row, top first
  make_bitmap.py --solid WxH RRGGBB OUT                  one colour
  make_bitmap.py --halves WxH TOP BOTTOM OUT             upper and lower half in two colours
"""
import struct
import sys


def colour(text):
    value = int(text, 16)
    return ((value >> 16) & 255, (value >> 8) & 255, value & 255)


def write_bmp(path, rows):
    """rows: top first, each a list of (r, g, b)."""
    height = len(rows)
    width = len(rows[0]) if rows else 0
    if width == 0 or any(len(row) != width for row in rows):
        sys.exit(f"make_bitmap: {path}: rows must be non-empty and of one width")
    stride = (width * 3 + 3) // 4 * 4
    pixels = bytearray()
    for row in reversed(rows):  # a .bmp stores its bottom row first
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        pixels += line + bytes(stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + pixels)


def from_art(path):
    palette = {}
    rows = []
    with open(path) as art:
        lines = [line.rstrip("\n") for line in art if not line.startswith("#")]
    split = lines.index("---")
    for line in lines[:split]:
        if line.strip():
            letter, value = line.split()
            palette[letter] = colour(value)
    for line in lines[split + 1:]:
        if line:
            rows.append([palette[letter] for letter in line])
    return rows


def size(text):
    width, height = text.lower().split("x")
    return int(width), int(height)


def main(args):
    if len(args) == 2:
        write_bmp(args[1], from_art(args[0]))
    elif len(args) == 4 and args[0] == "--solid":
        width, height = size(args[1])
        write_bmp(args[3], [[colour(args[2])] * width for _ in range(height)])
    elif len(args) == 5 and args[0] == "--halves":
        width, height = size(args[1])
        top, bottom = colour(args[2]), colour(args[3])
        write_bmp(args[4], [[top if y < height // 2 else bottom] * width for y in range(height)])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
