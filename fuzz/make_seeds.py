#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora into corpus/ (kept in the repository;
run again only to change them)."""

import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "process"))
import bitmaps  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    with open(os.path.join(HERE, "corpus", target, name), "wb") as f:
        f.write(data.encode("latin-1") if isinstance(data, str) else data)


def grid(left, top, width, height, far=0, band=0):
    return struct.pack("<hhBBBB", left, top, width, height, far, band)


write("map_description", "crlf.map", "area.bmp\r\n0,0\r\nx\r\ny\r\n900,600\r\n\r\n\r\n")
write("map_description", "lf_empty_lines.map", "area.bmp\n0,0\n\n\n900,600\n\n\n")
write("map_description", "cr_only.map", "a.bmp\r-5,7\rx\ry\r301,2\r")
write("map_description", "huge_numbers.map",
      "a.bmp\n99999999999999999999,-4294967297\nx\ny\n2147483647,2147483648\n")
write("map_description", "no_comma_nul.map", "a\0b.bmp\n12\nx\ny\n \t+34\n")
write("map_description", "long_line.map", "p" * 300 + "\n1,2\n")

write("source", "classic.bin", grid(0, 0, 250, 250) + bitmaps.make_bitmap(40, 30))
write("source", "odd_width_band.bin", grid(-3, -1, 255, 255, 0, 1) + bitmaps.make_bitmap(41, 9))
write("source", "v5_top_down_gap.bin",
      grid(5, 2, 10, 10, 0, 2) + bitmaps.make_bitmap(17, 5, info_header_size=124, top_down=True,
                                                      gap=6))
write("source", "two_colours.bin", grid(0, 0, 1, 1, 0, 3) + bitmaps.make_bitmap(8, 2, palette_entries=2))
write("source", "far_corner.bin", grid(100, 100, 255, 255, 3) + bitmaps.make_bitmap(16, 4))
write("source", "truncated.bin", grid(0, 0, 1, 1) + bitmaps.make_bitmap(16, 16)[:-3])

write("command_line", "quoted_program.txt", "\0\"C:\\Program Files\\gridsaw.exe\" \"my maps\\a.map\"")
write("command_line", "plain.txt", "\0gridsaw.exe   area.map  ")
write("command_line", "unclosed.txt", "\0\"C:\\gridsaw.exe area.map")
write("command_line", "shift_jis.txt", "\1\"C:\\\x81\"\\gridsaw.exe\" \"\x82\xa0.map\"")
