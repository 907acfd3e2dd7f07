#!/usr/bin/env python3
"""Draws Gridsaw's application icon, app/gridsaw.ico: a grid of tiles over a
patch of island map, in the example map's colours, at 16, 32 and 48 pixels
in 32-bit colour, and at 16 and 32 pixels also in 256 and in 16 colours, for
displays of those depths (Windows XP in 256-colour mode, low-colour remote
sessions); Windows picks the image that fits. The icon is kept in the
repository; run this again only to change it."""

import os
import struct

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
SEA, SHALLOWS, SAND, GRASS, FOREST = (32, 84, 160), (64, 140, 200), (226, 206, 140), \
    (96, 168, 72), (40, 110, 50)
GRID = (250, 250, 250)


# The same in the 16 colours every Windows display has.
IN_16_COLOURS = {SEA: (0, 0, 128), SHALLOWS: (0, 0, 255), SAND: (255, 255, 0),
                 GRASS: (0, 255, 0), FOREST: (0, 128, 0), GRID: (255, 255, 255)}


def draw(size, colour_of=lambda colour: colour):
    image = Image.new("RGBA", (size, size), colour_of(SEA) + (255,))
    pen = ImageDraw.Draw(image)
    s = size / 48
    # An island: shallows, a beach, grass and a wood, as in the example map.
    for colour, box in ((SHALLOWS, (4, 8, 44, 42)), (SAND, (8, 12, 40, 38)),
                        (GRASS, (12, 15, 37, 35)), (FOREST, (18, 18, 31, 30))):
        pen.ellipse([round(v * s) for v in box], fill=colour_of(colour))
    # The grid of tiles cut from it.
    for line in range(0, 49, 16):
        at = min(round(line * s), size - 1)
        width = max(1, round(2 * s))
        pen.line([(at, 0), (at, size - 1)], fill=colour_of(GRID), width=width)
        pen.line([(0, at), (size - 1, at)], fill=colour_of(GRID), width=width)
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


# The 16 colours every Windows display has, so that the 16-colour images show
# as drawn.
WINDOWS_16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
              (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
              (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def paletted_entry(image, bits):
    """One icon image in 256 (bits 8) or 16 (bits 4) colours: a bottom-up DIB
    with its palette, then an all-clear AND mask."""
    size = image.width
    if bits == 4:
        palette = Image.new("P", (1, 1))
        palette.putpalette([v for colour in WINDOWS_16 for v in colour])
        indexed = image.convert("RGB").quantize(palette=palette, dither=Image.Dither.NONE)
    else:
        indexed = image.convert("RGB").quantize(colors=256, dither=Image.Dither.NONE)
    colours = 1 << bits
    rgb = (indexed.getpalette() + [0] * 3 * colours)[:3 * colours]
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0, 0, 0, 0, 0, 0)
    quads = b"".join(bytes((rgb[3 * i + 2], rgb[3 * i + 1], rgb[3 * i], 0)) for i in range(colours))
    row_bytes = (size * bits + 31) // 32 * 4
    rows = []
    for y in reversed(range(size)):
        indices = [indexed.getpixel((x, y)) for x in range(size)]
        if bits == 4:
            packed = bytes(indices[x] << 4 | indices[x + 1] for x in range(0, size, 2))
        else:
            packed = bytes(indices)
        rows.append(packed.ljust(row_bytes, b"\0"))
    mask_row = bytes((size + 31) // 32 * 4)
    return header + quads + b"".join(rows) + mask_row * size


def main():
    entries = [(size, 32, bitmap_entry(draw(size))) for size in (48, 32, 16)]
    entries += [(size, 8, paletted_entry(draw(size), 8)) for size in (32, 16)]
    entries += [(size, 4, paletted_entry(draw(size, IN_16_COLOURS.get), 4)) for size in (32, 16)]
    directory = struct.pack("<HHH", 0, 1, len(entries))
    offset = len(directory) + 16 * len(entries)
    images = b""
    for size, bits, entry in entries:
        colour_count = 16 if bits == 4 else 0
        directory += struct.pack("<BBBBHHII", size, size, colour_count, 0, 1, bits, len(entry),
                                 offset)
        offset += len(entry)
        images += entry
    with open(os.path.join(HERE, "gridsaw.ico"), "wb") as f:
        f.write(directory + images)


if __name__ == "__main__":
    main()
