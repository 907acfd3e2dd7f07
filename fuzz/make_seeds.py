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


def grid(left, top, width, height, far=0, band=0, block=255, starts=255, group=0):
    """The source target's choices: the grid (its size in steps of 3 pixels), the band cap, the read block
    (255: the program's), the noted band starts (192 and up: the program's)
    and the column groups: when odd, those the source plans for differ from
    the grid's; and those in which the bands compared with the reference are
    fetched."""
    return struct.pack("<hhBBBBBBB", left, top, width, height, far, band, block, starts, group)


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



def rle4_bitmap(width, height, stream, bits=4):
    """A bottom-up RLE4 bitmap with the given stream after a 16-entry palette;
    RLE8 with 8 bits, after 256 entries."""
    entries = 1 << bits
    offset = 54 + 4 * entries
    return (b"BM" + struct.pack("<IHHI", offset + len(stream), 0, 0, offset) +
            struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 2 if bits == 4 else 1,
                        len(stream), 0, 0, 0, 0) +
            bitmaps.palette_bytes(entries) + stream)


def os2_bitmap(width, height):
    """An OS/2 1.x bitmap: 12-byte header, 16 RGB triples."""
    rows = bytes(range(256)) * ((width + 7) // 8 * 4 * height // 256 + 1)
    return (b"BM" + struct.pack("<IHHI", 0, 0, 0, 74) + struct.pack("<IHHHH", 12, width, height, 1, 4) +
            bytes(range(48)) + rows[:(width + 7) // 8 * 4 * height])


# Encoded runs, an odd absolute run, a delta, end of line, end of bitmap.
write("source", "rle4_every_code.bin",
      grid(-2, -1, 5, 5, 0, 2) + rle4_bitmap(13, 4, bytes([4, 0x12, 0, 5, 0x34, 0x56, 0x70, 0,
                                                           0, 2, 3, 1, 3, 0xAB, 0, 0, 2, 0xCD,
                                                           0, 1])))
# A run past the width, a delta past the top of the image.
write("source", "rle4_past_the_edges.bin",
      grid(0, 0, 5, 5) + rle4_bitmap(16, 4, bytes([200, 0x9F, 0, 0, 0, 2, 250, 60, 1, 0x11, 0, 1])))
write("source", "rle4_no_end.bin", grid(0, 0, 5, 5) + rle4_bitmap(16, 4, bytes([16, 0x21, 0, 0])))
# RLE8 as ImageMagick writes it: values past 15, renumbered, an absolute run,
# a delta, rows that leave pixels unset; and one of values below 16.
write("source", "rle8_every_code.bin",
      grid(-2, -1, 5, 5, 0, 2, group=9) + rle4_bitmap(13, 4, bytes([4, 200, 0, 3, 17, 34, 200, 0,
                                                                     0, 2, 3, 1, 3, 17, 0, 0,
                                                                     2, 255, 0, 1]), bits=8))
write("source", "rle8_small_values.bin",
      grid(0, 0, 5, 5, 0, 1, block=1) + rle4_bitmap(21, 3, bytes([21, 5, 0, 0, 0, 5, 1, 2, 3, 9,
                                                                 11, 0, 0, 1]), bits=8))


def absolute_rows(width, height):
    """Rows of absolute runs of 3 to 62 pixels, odd and even, and an encoded rest."""
    stream = b""
    for row in range(height):
        count = 3 + row % 60
        stream += bytes([0, count]) + bytes((row + i) & 255 for i in range((count + 3) // 4 * 2))
        stream += bytes([width - count, 0x5A, 0, 0])
    return stream + bytes([0, 1])


# A stream of many small read blocks, two band starts noted, column groups
# of 7 bytes overlapping by 2.
write("source", "rle4_small_blocks.bin",
      grid(-7, -1, 30, 250, 0, 1, block=1, starts=0, group=7 + 128) +
      rle4_bitmap(70, 620, absolute_rows(70, 620)))
write("source", "os2.bin", grid(-1, 0, 5, 5, 0, 1) + os2_bitmap(21, 6))
# 8 bits a pixel, 16 grey levels to renumber; 1 bit a pixel; both in small blocks.
write("source", "eight_bits_renumbered.bin",
      grid(-3, 0, 20, 20, 0, 1, block=0) +
      bitmaps.make_indexed_bitmap(45, 13, 8, lambda x, y: (x + 3 * y) % 16 * 17, 256))
write("source", "one_bit.bin",
      grid(-2, -1, 20, 20, 0, 2, block=1) +
      bitmaps.make_indexed_bitmap(37, 9, 1, lambda x, y: (x ^ y) & 1, 2))
write("map_description", "byte_order_mark.map", "\xef\xbb\xbfarea.bmp\r\n0,0\r\nx\r\ny\r\n1,1\r\n")
# Notepad's "Unicode" and "Unicode big endian", with a pair, a lone surrogate and a NUL.
utf16_text = "\u5730\U0001f5fa\ud800.bmp\r\n0,0\r\nx\0y\r\n\r\n900,600\n"
write("map_description", "utf16_le.map", b"\xff\xfe" + utf16_text.encode("utf-16-le", "surrogatepass"))
write("map_description", "utf16_be.map",
      b"\xfe\xff" + utf16_text.encode("utf-16-be", "surrogatepass") + b"\x01")


def utf16(text):
    return text.encode("utf-16-le")


write("command_line", "quoted_program.bin", utf16('"C:\\Program Files\\gridsaw.exe" "my maps\\a.map"'))
write("command_line", "plain.bin", utf16("gridsaw.exe   area.map  "))
write("command_line", "unclosed.bin", utf16('"C:\\gridsaw.exe area.map'))
write("command_line", "greek_and_cjk.bin", utf16('"C:\\\u03a9\\gridsaw.exe" "\u5730\u56f3\\a.map"'))
