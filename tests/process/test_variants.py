"""Sources as editors write them: GIMP's RLE4 (a file it saved, kept in
editors/), ImageMagick's V5, OS/2 and RLE8 bitmaps, netpbm's OS/2 bitmap, a short
palette, a source past 2 GiB, a map description with a byte-order mark. The
tiles must show the source as PIL reads it, carry their true length in
bfSize, and be read by ImageMagick without a warning."""

import os
import shutil
import struct
import subprocess
import unittest

from PIL import Image

import bitmaps
from test_process import NOT_SIXTEEN_COLOURS, ProcessTest, map_text

EDITORS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "editors")
TILE_PIXEL_BYTES = 304 * 300 // 2


def no_padding(x, y):
    return 0


class EditorVariants(ProcessTest):
    def cut_and_check(self, padding=no_padding):
        """Cuts a 3 x 2 grid hanging over every edge of area.bmp and checks
        every tile; returns the tiles' bytes."""
        self.write("area.map", map_text("area.bmp", "-151,-7", "749,593"))
        self.assertConverted(self.run_gridsaw("area.map"))
        self.assertEqual(len(self.tile_names()), 6)
        self.assertTilesShowSource("area.bmp", -151, -7, 3, 2, padding=padding)
        tiles = [self.read(name) for name in self.tile_names()]
        for name, tile in zip(self.tile_names(), tiles):
            size, off_bits = struct.unpack_from("<I4xI", tile, 2)
            self.assertEqual((size, off_bits + TILE_PIXEL_BYTES), (len(tile), len(tile)), name)
        if shutil.which("identify") and not os.path.islink(shutil.which("identify")):
            done = subprocess.run(["identify"] + self.tile_names(), cwd=self.dir,
                                  capture_output=True)
            self.assertEqual((done.returncode, done.stderr), (0, b""))
        return tiles

    def convert(self, *arguments):
        """area.bmp from a 16-colour crop of the example map, by ImageMagick."""
        if not shutil.which("convert") or os.path.islink(shutil.which("convert")):
            self.skipTest("needs ImageMagick")
        island = os.path.join(EDITORS, "..", "..", "..", "example", "island.bmp")
        Image.open(island).crop((250, 200, 954, 700)).save(self.path("crop.png"))
        subprocess.run(["convert", "crop.png", "-type", "Palette"] + list(arguments),
                       cwd=self.dir, check=True)

    def assertTilesShowColoursOf(self, source_name, left, top, columns, rows):
        """Every tile pixel's colour, as PIL reads the tile, against the
        source's, whatever indices either has; outside the image, the colour
        of the tile's entry 0. PIL takes a 4-bit bitmap whose palette is two
        entries, black and white, for one of 1 bit a pixel."""
        source = Image.open(self.path(source_name)).convert("RGB")
        width, height = source.size
        for row in range(rows):
            for column in range(columns):
                name = f"area tile {column},{row}.bmp"
                tile = Image.open(self.path(name))
                self.assertEqual((tile.size, tile.mode), ((304, 300), "P"), name)
                x, y = int((left + 300 * column) / 2) * 2, top + 300 * row  # x made even
                expected = Image.new("RGB", (304, 300), tuple(tile.getpalette()[:3]))
                box = (max(x, 0), max(y, 0), min(x + 304, width), min(y + 300, height))
                if box[0] < box[2] and box[1] < box[3]:
                    expected.paste(source.crop(box), (box[0] - x, box[1] - y))
                self.assertEqual(tile.convert("RGB").tobytes(), expected.tobytes(), name)

    def test_pillow_maps_of_8_and_1_bits_a_pixel_give_tiles_that_pillow_reads_as_the_map(self):
        island = os.path.join(EDITORS, "..", "..", "..", "example", "island.bmp")
        crop = Image.open(island).convert("RGB").crop((250, 200, 954, 700))
        maps = {"quantised to 16 colours": crop.quantize(16),
                "16 grey levels, renumbered": crop.convert("L").point(lambda v: v // 16 * 17),
                "two colours": crop.convert("1")}
        for kind, image in maps.items():
            with self.subTest(kind):
                for name in self.tile_names():
                    os.remove(self.path(name))
                image.save(self.path("area.bmp"))
                self.write("area.map", map_text("area.bmp", "-151,-7", "749,593"))
                self.assertConverted(self.run_gridsaw("area.map"))
                self.assertTilesShowColoursOf("area.bmp", -151, -7, 3, 2)

    def test_an_8_bit_map_of_17_indices_is_refused_and_old_tiles_stay(self):
        image = Image.new("P", (64, 40))
        image.putdata([(x + y) % 16 for y in range(40) for x in range(64)])
        image.putpixel((5, 0), 200)  # in the top row, the last one stored
        image.save(self.path("area.bmp"))
        self.write("area tile 0,0.bmp", b"old tile")
        self.write("area.map", map_text("area.bmp", "0,0", "64,40"))
        self.assertFailed(self.run_gridsaw("area.map"), NOT_SIXTEEN_COLOURS)
        self.assertEqual(self.tile_names(), ["area tile 0,0.bmp"])
        self.assertEqual(self.read("area tile 0,0.bmp"), b"old tile")

    def test_an_imagemagick_rle_save_of_the_example_gives_the_examples_tiles(self):
        """`convert -compress RLE` writes RLE8 with 256 entries, the map's
        indices and palette kept, but biClrImportant 256: the tiles are the
        example's own in every byte but that field's."""
        if not shutil.which("convert") or os.path.islink(shutil.which("convert")):
            self.skipTest("needs ImageMagick")
        island = os.path.join(EDITORS, "..", "..", "..", "example", "island.bmp")
        shutil.copy(island, self.path("island.bmp"))
        subprocess.run(["convert", "island.bmp", "-compress", "RLE", "area.bmp"], cwd=self.dir,
                       check=True)
        bits, compression = struct.unpack_from("<HI", self.read("area.bmp"), 28)
        self.assertEqual((bits, compression), (8, 1))
        for stem in ("island", "area"):
            self.write(f"{stem}.map", map_text(f"{stem}.bmp", "0,0", "1200,900"))
            self.assertConverted(self.run_gridsaw(f"{stem}.map"))
        names = [n for n in self.tile_names() if n.startswith("area")]
        self.assertEqual(len(names), 12)
        for name in names:
            own, saved = self.read("island" + name[4:]), self.read(name)
            self.assertEqual(struct.unpack_from("<I", saved, 50)[0], 0, name)
            self.assertEqual(saved[:50] + saved[54:], own[:50] + own[54:], name)

    def test_gimp_rle4(self):
        shutil.copy(os.path.join(EDITORS, "gimp-rle4.bmp"), self.path("area.bmp"))
        self.cut_and_check()

    def test_imagemagick_v5_gives_tiles_of_the_plain_length(self):
        self.convert("BMP:area.bmp")
        self.assertEqual(struct.unpack_from("<I", self.read("area.bmp"), 14)[0], 124)
        for tile in self.cut_and_check():
            self.assertEqual(len(tile), 45718)

    def test_imagemagick_and_netpbm_os2_bitmaps(self):
        self.convert("BMP2:area.bmp")
        self.assertEqual(struct.unpack_from("<I", self.read("area.bmp"), 14)[0], 12)
        self.cut_and_check()
        if shutil.which("ppmtobmp"):
            subprocess.run("pngtopnm crop.png | ppmtobmp -os2 -bpp 4 > area.bmp", shell=True,
                           cwd=self.dir, check=True, stderr=subprocess.DEVNULL)
            self.cut_and_check()

    def test_a_twelve_colour_palette_gives_tiles_of_their_true_length(self):
        def twelve(x, y):
            return bitmaps.pixel(x, y) % 12

        self.write("area.bmp", bitmaps.make_bitmap(700, 500, palette_entries=12, pixel_of=twelve))
        for tile in self.cut_and_check(padding=twelve):
            self.assertEqual(len(tile), 54 + 4 * 12 + TILE_PIXEL_BYTES)

    def test_an_os2_2x_header(self):
        self.write("area.bmp", bitmaps.make_bitmap(613, 437, info_header_size=64))
        self.cut_and_check(padding=bitmaps.pixel)

    def test_a_byte_order_mark_before_the_map_description(self):
        self.write("area.bmp", bitmaps.make_bitmap(64, 64))
        self.write("area.map", b"\xef\xbb\xbf" + map_text("area.bmp", "0,0", "1,1").encode())
        self.assertConverted(self.run_gridsaw("area.map"))
        self.assertEqual(self.tile_names(), ["area tile 0,0.bmp"])


class SourcePastTwoGibibytes(ProcessTest):
    WIDTH, HEIGHT = 100_000, 50_000

    def test_tiles_whose_rows_lie_past_2_to_the_31(self):
        """A sparse 2.5 GB source: only the rows the tiles need are written,
        the top ones, which a bottom-up file stores last."""
        row_bytes = self.WIDTH // 2
        first_x = 99_400
        with open(self.path("area.bmp"), "wb") as f:
            f.write(bitmaps.make_bitmap(8, 1)[:118])
            f.seek(0)
            f.write(b"BM" + struct.pack("<I", 0))
            f.seek(18)
            f.write(struct.pack("<ii", self.WIDTH, self.HEIGHT))
            for y in range(600):
                offset = 118 + (self.HEIGHT - 1 - y) * row_bytes + first_x // 2
                self.assertGreater(offset, 2**31)
                f.seek(offset)
                f.write(bytes(bitmaps.pixel(x, y) << 4 | bitmaps.pixel(x + 1, y)
                              for x in range(first_x, self.WIDTH, 2)))
            f.truncate(118 + self.HEIGHT * row_bytes)
        self.write("area.map", map_text("area.bmp", f"{first_x},0", "100300,600"))
        self.assertConverted(self.run_gridsaw("area.map"))
        self.assertEqual(len(self.tile_names()), 6)
        for column in range(3):
            for row in range(2):
                tile = self.read(f"area tile {column},{row}.bmp")
                self.assertEqual(len(tile), 118 + TILE_PIXEL_BYTES)
                for i in range(0, 300, 37):
                    y = 300 * row + i
                    stored = tile[118 + (299 - i) * 152:118 + (300 - i) * 152]
                    expected = bytes(
                        bitmaps.pixel(x, y) << 4 | bitmaps.pixel(x + 1, y) if x < self.WIDTH else 0
                        for x in range(first_x + 300 * column, first_x + 300 * column + 304, 2))
                    self.assertEqual(stored, expected, f"tile {column},{row} row {i}")


if __name__ == "__main__":
    unittest.main()
