#!/usr/bin/env python3
"""Draws Gridsaw's application icon, app/gridsaw.ico: a grid of tiles over a
patch of island map, in the example map's colours, at 16, 32 and 48 pixels.
The icon is kept in the repository; run this again only to change it."""

import os
import struct

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
SEA, SHALLOWS, SAND, GRASS, FOREST = (32, 84, 160), (64, 140, 200), (226, 206, 140), \
    (96, 168, 72), (40, 110, 50)
GRID = (250, 250, 250)


def draw(size):
    image = Image.new("RGBA", (size, size), SEA + (255,))
    pen = ImageDraw.Draw(image)
    s = size / 48
    # An island: shallows, a beach, grass and a wood, as in the example map.
    for colour, box in ((SHALLOWS, (4, 8, 44, 42)), (SAND, (8, 12, 40, 38)),
                        (GRASS, (12, 15, 37, 35)), (FOREST, (18, 18, 31, 30))):
        pen.ellipse([round(v * s) for v in box], fill=colour)
    # The grid of tiles cut from it.
    for line in range(0, 49, 16):
        at = min(round(line * s), size - 1)
        width = max(1, round(2 * s))
        pen.line([(at, 0), (at, size - 1)], fill=GRID, width=width)
        pen.line([(0, at), (size - 1, at)], fill=GRID, width=width)
    return image


def bitmap_entry(image):
    """One icon image as Windows XP reads it: a 32-bit bottom-up DIB with
    alpha, then an all-clear AND mask (XP does not read PNG icons)."""
    size = image.width
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in reversed(range(size)):
        rows.append(b"".join(bytes((b, g, r, a)) for r, g, b, a in
                             (image.getpixel((x, y)) for x in range(size))))
    mask_row = bytes((size + 31) // 32 * 4)
    return header + b"".join(rows) + mask_row * size


def main():
    entries = [(size, bitmap_entry(draw(size))) for size in (48, 32, 16)]
    directory = struct.pack("<HHH", 0, 1, len(entries))
    offset = len(directory) + 16 * len(entries)
    images = b""
    for size, entry in entries:
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(entry), offset)
        offset += len(entry)
        images += entry
    with open(os.path.join(HERE, "gridsaw.ico"), "wb") as f:
        f.write(directory + images)


if __name__ == "__main__":
    main()
