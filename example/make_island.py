#!/usr/bin/env python3
"""Draws the bundled example: island.bmp, a 1208 x 900 16-colour map of an
island, with a grid every 300 pixels and each grid cell's "column,row" label
written large, so that each tile shows which one it is. Standard library only.

    python3 make_island.py        # writes island.bmp beside this script
"""

import math
import os
import struct

WIDTH, HEIGHT = 1208, 900

# The 16 colours of the classic VGA palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GREEN, OLIVE, NAVY, TEAL, SILVER, GREY, GREEN, YELLOW, BLUE, WHITE = (
    0, 2, 3, 4, 6, 7, 8, 10, 11, 12, 15)

# 5 x 7 glyphs for the labels.
FONT = {
    "0": ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
    "1": ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    "2": ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    "3": ["11110", "00001", "00001", "01110", "00001", "00001", "11110"],
    "4": ["00010", "00110", "01010", "10010", "11111", "00010", "00010"],
    ",": ["00000", "00000", "00000", "00000", "01100", "00100", "01000"],
}
SCALE = 9


def ground(x, y):
    """The island: a wobbly disc with a mountain ridge, a lake and beaches."""
    cx, cy = WIDTH / 2, HEIGHT / 2
    dx, dy = (x - cx) / 520, (y - cy) / 380
    angle = math.atan2(dy, dx)
    radius = math.hypot(dx, dy) / (1 + 0.15 * math.sin(3 * angle) + 0.08 * math.cos(7 * angle))
    if radius > 1.0:
        return BLUE if radius > 1.12 or (x // 6 + y // 6) % 9 else TEAL
    if radius > 0.93:
        return YELLOW
    if math.hypot(x - 470, y - 620) < 60:
        return NAVY
    ridge = abs((y - cy) + 0.45 * (x - cx)) < 40 + 25 * math.sin(x / 40)
    if ridge and radius < 0.7:
        return WHITE if radius < 0.35 else GREY
    return DARK_GREEN if (x * 13 + y * 7) % 97 < 30 else GREEN


def label_pixels():
    """Every pixel covered by a cell label, with the label's colour."""
    covered = {}
    for row in range(HEIGHT // 300):
        for column in range(WIDTH // 300):
            text = f"{column},{row}"
            text_width = (len(text) * 6 - 1) * SCALE
            left = column * 300 + 150 - text_width // 2
            top = row * 300 + 150 - 7 * SCALE // 2
            for i, char in enumerate(text):
                for gy, bits in enumerate(FONT[char]):
                    for gx, bit in enumerate(bits):
                        if bit == "1":
                            for sy in range(SCALE):
                                for sx in range(SCALE):
                                    x = left + (i * 6 + gx) * SCALE + sx
                                    covered[(x, top + gy * SCALE + sy)] = BLACK
    return covered


def colour(x, y, labels):
    if (x, y) in labels:
        return labels[(x, y)]
    if x % 300 in (0, 299) or y % 300 in (0, 299):
        return SILVER
    return ground(x, y)


def bitmap():
    labels = label_pixels()
    row_bytes = (WIDTH + 7) // 8 * 4
    off_bits = 14 + 40 + 64
    rows = []
    for y in range(HEIGHT - 1, -1, -1):  # bottom-up
        row = bytearray(row_bytes)
        for x in range(0, WIDTH, 2):
            row[x // 2] = colour(x, y, labels) << 4 | colour(x + 1, y, labels)
        rows.append(bytes(row))
    pixels = b"".join(rows)
    header = b"BM" + struct.pack("<IHHI", off_bits + len(pixels), 0, 0, off_bits)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 4, 0, len(pixels), 2835, 2835, 16, 16)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + info + palette + pixels


if __name__ == "__main__":
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), "island.bmp")
    with open(target, "wb") as f:
        f.write(bitmap())
