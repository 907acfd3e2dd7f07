#!/usr/bin/env python3
"""Draws example/grid.png, the picture of the grid in the README, from the
tiles Gridsaw wrote for the example map (run ./build.sh first): each tile is
found where its name says and checked pixel for pixel against the map, then
outlined, the 4 columns it shares with its right-hand neighbour shaded, and
a few names written on it; an inset magnifies one shared stripe. So the
picture shows what the program does."""

import os
import re
import sys

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
SCALE = 1
ZOOM = 8
LABELLED = {(0, 0), (1, 0), (3, 2)}


def tiles_of(stem):
    """The tiles beside the map, by (column, row)."""
    folder, base = os.path.split(stem)
    found = {}
    for name in os.listdir(folder):
        match = re.fullmatch(re.escape(base) + r" tile (\d+),(\d+)\.bmp", name)
        if match:
            found[int(match[1]), int(match[2])] = os.path.join(folder, name)
    return found


def check_tile(source, tile, x, y, name):
    """The tile must be the 304 x 300 piece of the map at (x, y)."""
    expected = Image.new("P", (304, 300), 0)
    expected.paste(source.crop((x, y, min(x + 304, source.width), min(y + 300, source.height))))
    if tile.size != (304, 300) or tile.tobytes() != expected.tobytes():
        sys.exit(f"{name} is not the map's piece at {x},{y}: run ./build.sh again")


def main():
    source = Image.open(os.path.join(HERE, "island.bmp"))
    tiles = tiles_of(os.path.join(HERE, "island"))
    if not tiles:
        sys.exit("no tiles of island.bmp: run ./build.sh first")
    picture = source.convert("RGB").resize((round(source.width * SCALE),
                                            round(source.height * SCALE)))
    shade = Image.new("RGBA", picture.size)
    pen = ImageDraw.Draw(shade)
    font = ImageFont.load_default()
    boxes = {}
    for (column, row), path in sorted(tiles.items()):
        x, y = 300 * column, 300 * row  # the example's region starts at 0,0
        check_tile(source, Image.open(path), x, y, os.path.basename(path))
        boxes[column, row] = [round(v * SCALE) for v in (x, y, x + 304, y + 300)]
        if (column + 1, row) in tiles:  # the 4 columns both neighbours hold
            left = round((x + 300) * SCALE)
            pen.rectangle([left, boxes[column, row][1], round((x + 304) * SCALE),
                           boxes[column, row][3]], fill=(255, 60, 60, 160))
    picture.paste(shade, mask=shade)
    pen = ImageDraw.Draw(picture)
    for (column, row), box in boxes.items():
        pen.rectangle([box[0], box[1], min(box[2], picture.width) - 1,
                       min(box[3], picture.height) - 1], outline=(255, 255, 255))
        if (column, row) in LABELLED:
            label = f"island tile {column},{row}.bmp"
            pen.rectangle([box[0] + 6, box[1] + 6, box[0] + 12 + 6 * len(label), box[1] + 22],
                          fill=(0, 0, 0))
            pen.text((box[0] + 9, box[1] + 8), label, fill=(255, 255, 255), font=font)
    # Columns 296 to 308 around the first shared stripe (300 to 303), magnified.
    stripe = picture.crop((296, 380, 308, 404)).resize((12 * ZOOM, 24 * ZOOM), Image.NEAREST)
    at = (20, picture.height - stripe.height - 40)
    picture.paste(stripe, at)
    pen.rectangle([at[0] - 1, at[1] - 1, at[0] + stripe.width, at[1] + stripe.height],
                  outline=(0, 0, 0))
    caption = "columns 300-303 are in tiles 0,r and 1,r"
    pen.rectangle([at[0], at[1] + stripe.height + 4, at[0] + 6 * len(caption) + 6,
                   at[1] + stripe.height + 20], fill=(0, 0, 0))
    pen.text((at[0] + 3, at[1] + stripe.height + 6), caption, fill=(255, 255, 255), font=font)
    picture.save(os.path.join(HERE, "grid.png"), optimize=True)


if __name__ == "__main__":
    main()
