"""Gridsaw as a process: exit status, message and the files it leaves, on
maps and bitmaps each test makes in a folder of its own. Tiles are checked
pixel for pixel through PIL, a BMP reader that owes nothing to Gridsaw."""

import math
import os
import re
import resource
import shutil
import struct
import subprocess
import tempfile
import unittest

from PIL import Image

import bitmaps
from runners import PosixRunner, WineRunner, runner_from_environment

CONVERTED = "Map has been converted to tiles."
CANNOT_OPEN_MAP = "Error: cannot open .map file!"
CANNOT_OPEN_SOURCE = "Error: cannot open source bitmap!"
NOT_SIXTEEN_COLOURS = "Error: source bitmap is not a 16-colour BMP!"
CANNOT_OPEN_TILE = "Error: cannot open output bitmap!"
CANNOT_WRITE_TILE = "Error: cannot write output bitmap!"


def map_text(source, first, second, eol="\r\n", line3="top left", line4="bottom right"):
    return eol.join([source, first, line3, line4, second, "", ""]) + eol


class ProcessTest(unittest.TestCase):
    def setUp(self):
        self.runner = runner_from_environment()
        self.dir = tempfile.mkdtemp(prefix="gridsaw-process-")
        self.addCleanup(shutil.rmtree, self.dir, True)

    def path(self, name):
        return os.path.join(self.dir, name)

    def write(self, name, data):
        if isinstance(data, str):
            data = data.encode("latin-1")
        with open(self.path(name), "wb") as f:
            f.write(data)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def tile_names(self):
        return sorted(n for n in os.listdir(self.dir) if " tile " in n)

    def run_gridsaw(self, tail, **kwargs):
        return self.runner.run(tail, cwd=self.dir, **kwargs)

    def assertOutcome(self, outcome, status, message, kind):
        self.assertEqual((outcome.status, outcome.message, outcome.kind), (status, message, kind))

    def assertConverted(self, outcome):
        self.assertOutcome(outcome, 123, CONVERTED, "information")

    def assertFailed(self, outcome, message):
        self.assertOutcome(outcome, 0, message, "error")

    def assertTilesShowSource(self, source_name, left, top, columns, rows, stem="area",
                              padding=bitmaps.pixel):
        """Every pixel of every tile against the source as PIL reads it;
        outside the image and its row padding (`padding` gives those pixels)
        the index must be 0."""
        source = Image.open(self.path(source_name))
        width, height = source.size
        source_pixels = source.tobytes()
        stored_width = bitmaps.stored_row_pixels(width)
        for row in range(rows):
            for column in range(columns):
                name = f"{stem} tile {column},{row}.bmp"
                tile = Image.open(self.path(name))
                self.assertEqual((tile.size, tile.mode), ((304, 300), "P"), name)
                self.assertEqual(tile.getpalette()[:48], source.getpalette()[:48], name)
                x0 = left + 300 * column
                x0 -= int(math.fmod(x0, 2))  # made even as C's % does: -301 gives -300
                y0 = top + 300 * row
                tile_pixels = tile.tobytes()
                for ty in range(300):
                    y = y0 + ty
                    expected = bytearray(304)
                    if 0 <= y < height:
                        for tx in range(304):
                            x = x0 + tx
                            if 0 <= x < width:
                                expected[tx] = source_pixels[y * width + x]
                            elif width <= x < stored_width:
                                expected[tx] = padding(x, y)
                    got = tile_pixels[ty * 304:(ty + 1) * 304]
                    self.assertEqual(got, bytes(expected), f"{name} row {ty}")


class TilingRun(ProcessTest):
    def test_six_tiles_named_by_column_and_row_match_the_source(self):
        self.write("area.bmp", bitmaps.make_bitmap(904, 600))
        self.write("area.map", map_text("area.bmp", "0,0", "900,600"))
        self.assertConverted(self.run_gridsaw("area.map"))
        self.assertEqual(self.tile_names(),
                         sorted(f"area tile {c},{r}.bmp" for r in range(2) for c in range(3)))
        self.assertTilesShowSource("area.bmp", 0, 0, 3, 2)

    def test_region_past_every_edge_of_an_odd_sized_source(self):
        self.write("area.bmp", bitmaps.make_bitmap(601, 350))
        self.write("area.map", map_text("area.bmp", "-1,-10", "700,400"))
        self.assertConverted(self.run_gridsaw("area.map"))
        self.assertEqual(len(self.tile_names()), 6)
        self.assertTilesShowSource("area.bmp", -1, -10, 3, 2)

    def test_top_down_source_with_a_v5_header(self):
        self.write("area.bmp", bitmaps.make_bitmap(500, 320, info_header_size=124, top_down=True))
        self.write("area.map", map_text("area.bmp", "3,1", "400,302"))
        self.assertConverted(self.run_gridsaw("area.map"))
        self.assertTilesShowSource("area.bmp", 3, 1, 2, 2)
        tile = self.read("area tile 0,0.bmp")
        self.assertEqual(len(tile), 45718)
        self.assertEqual(struct.unpack_from("<IHHI", tile, 2), (45718, 0, 0, 118))

    def test_line_ends_decide_which_line_is_the_fifth(self):
        self.write("area.bmp", bitmaps.make_bitmap(904, 600))
        self.write("lf.map", map_text("area.bmp", "0,0", "900,600", eol="\n", line3="", line4=""))
        self.assertConverted(self.run_gridsaw("lf.map"))
        self.assertEqual(self.tile_names(), [], "LF-only: empty lines collapse, no region")
        self.write("crlf.map", map_text("area.bmp", "0,0", "900,600", line3="", line4=""))
        self.assertConverted(self.run_gridsaw("crlf.map"))
        self.assertEqual(len(self.tile_names()), 6)

    def test_empty_grids_still_report_success(self):
        self.write("area.bmp", bitmaps.make_bitmap(64, 64))
        self.write("flat.map", map_text("area.bmp", "10,10", "10,900"))
        self.assertConverted(self.run_gridsaw("flat.map"))
        self.write("only-path.map", "area.bmp")
        self.assertConverted(self.run_gridsaw("only-path.map"))
        self.assertEqual(self.tile_names(), [])

    def test_a_region_up_to_the_largest_coordinate_ends_its_loops(self):
        self.write("area.bmp", bitmaps.make_bitmap(64, 64))
        self.write("area.map", map_text("area.bmp", "2147483000,2147483600", "2147483647,2147483647"))
        self.assertConverted(self.run_gridsaw("area.map"))
        self.assertEqual(self.tile_names(), ["area tile 0,0.bmp", "area tile 1,0.bmp",
                                             "area tile 2,0.bmp"])
        self.assertEqual(self.read("area tile 2,0.bmp")[118:], bytes(45600))

    def test_left_0_right_301_gives_two_columns_and_reruns_replace_tiles(self):
        self.write("area.bmp", bitmaps.make_bitmap(640, 300))
        self.write("area.map", map_text("area.bmp", "0,0", "301,300"))
        self.write("area tile 1,0.bmp", b"stale" * 20000)
        self.assertConverted(self.run_gridsaw("area.map"))
        self.assertEqual(self.tile_names(), ["area tile 0,0.bmp", "area tile 1,0.bmp"])
        self.assertTilesShowSource("area.bmp", 0, 0, 2, 1)

    def test_stem_is_cut_at_the_last_dot_even_in_a_folder_name(self):
        os.mkdir(self.path("maps.old"))
        self.write("maps.old/area", bitmaps.make_bitmap(64, 64))
        self.write("area.map", map_text("maps.old/area", "0,0", "1,1"))
        self.assertConverted(self.run_gridsaw("area.map"))
        self.write("area.v2.bmp", bitmaps.make_bitmap(64, 64))
        self.write("v2.map", map_text("area.v2.bmp", "0,0", "1,1"))
        self.assertConverted(self.run_gridsaw("v2.map"))
        self.assertEqual(self.tile_names(), ["area.v2 tile 0,0.bmp", "maps tile 0,0.bmp"])

    def test_a_map_description_saved_as_utf16_names_a_map_past_ascii(self):
        name = "\u043a\u0430\u0440\u0442\u0430 \u5730\u56f3"  # Cyrillic and CJK
        with open(self.path(name + ".bmp"), "wb") as f:
            f.write(bitmaps.make_bitmap(904, 600))
        text = map_text(name + ".bmp", "0,0", "900,600")
        self.write("area.map", b"\xff\xfe" + text.encode("utf-16-le"))  # Notepad's "Unicode"
        self.assertConverted(self.run_gridsaw("area.map"))
        self.assertTilesShowSource(name + ".bmp", 0, 0, 3, 2, stem=name)

    def test_a_map_path_with_spaces_works_as_one_argument_or_several(self):
        os.mkdir(self.path("my maps"))
        self.write("area.bmp", bitmaps.make_bitmap(64, 64))
        self.write("my maps/a.map", map_text("area.bmp", "0,0", "1,1"))
        self.assertConverted(self.run_gridsaw("my maps/a.map"))
        self.assertConverted(self.runner.run_args(["my", "maps/a.map"], cwd=self.dir))


class BadInput(ProcessTest):
    def test_missing_map_empty_tail_and_quoted_tail(self):
        self.assertFailed(self.run_gridsaw("nowhere.map"), CANNOT_OPEN_MAP)
        self.assertFailed(self.run_gridsaw(""), CANNOT_OPEN_MAP)
        self.write("area.bmp", bitmaps.make_bitmap(64, 64))
        self.write("area.map", map_text("area.bmp", "0,0", "1,1"))
        quoted = self.run_gridsaw('"area.map"')
        if self.runner.strips_enclosing_quotes:
            self.assertConverted(quoted)  # as Explorer passes a dropped file
        else:
            self.assertFailed(quoted, CANNOT_OPEN_MAP)  # a name may hold quotes here

    def test_a_nul_in_line_1_names_no_file_not_the_one_before_it(self):
        self.write("s.bmp", bitmaps.make_bitmap(64, 64))
        self.write("area.map", map_text("s.bmp\0x.bmp", "0,0", "1,1"))
        self.assertFailed(self.run_gridsaw("area.map"), CANNOT_OPEN_SOURCE)
        self.assertEqual(self.tile_names(), [])

    def test_empty_map_and_missing_source(self):
        self.write("empty.map", "")
        self.assertFailed(self.run_gridsaw("empty.map"), CANNOT_OPEN_SOURCE)
        self.write("area.map", map_text("missing.bmp", "0,0", "900,600"))
        self.assertFailed(self.run_gridsaw("area.map"), CANNOT_OPEN_SOURCE)

    def test_a_source_path_too_long_to_be_one_or_for_its_buffer_is_not_opened_cut(self):
        # The first 255 characters name a real bitmap, or the first 1,023
        # bytes, which fill the line buffer; the line goes on.
        for folder, length in (("d" * 120, 255), ("/".join(["e" * 250] * 4), 1023)):
            os.makedirs(self.path(folder))
            cut_path = folder + "/" + "s" * (length - len(folder) - 1)
            self.write(cut_path, bitmaps.make_bitmap(64, 64))
            self.write("area.map", map_text(cut_path + "x.bmp", "0,0", "1,1"))
            self.assertFailed(self.run_gridsaw("area.map"), CANNOT_OPEN_SOURCE)
            self.assertEqual(os.listdir(self.path(folder)), [os.path.basename(cut_path)])

    def test_a_bad_source_is_refused_before_any_tile(self):
        # Each kind of bad source is a case of the unit tests; here the
        # program says so, on either platform.
        good = bitmaps.make_bitmap(64, 64)
        self.write("area.bmp", bitmaps.with_u32(good, 30, 2))  # RLE4 without an end of bitmap
        self.write("area.map", map_text("area.bmp", "0,0", "600,600"))
        self.assertFailed(self.run_gridsaw("area.map"), NOT_SIXTEEN_COLOURS)
        self.assertEqual(self.tile_names(), [])

    def test_a_tile_that_cannot_be_created_stops_the_run_and_keeps_earlier_tiles(self):
        self.write("area.bmp", bitmaps.make_bitmap(904, 600))
        self.write("area.map", map_text("area.bmp", "0,0", "900,600"))
        os.mkdir(self.path("area tile 2,0.bmp"))  # squats on the third tile's name
        self.assertFailed(self.run_gridsaw("area.map"), CANNOT_OPEN_TILE)
        self.assertEqual(self.tile_names(), ["area tile 0,0.bmp", "area tile 1,0.bmp",
                                             "area tile 2,0.bmp"])
        self.assertTilesShowSource("area.bmp", 0, 0, 2, 1)

    def test_an_unwritable_output_folder(self):
        os.mkdir(self.path("maps"))
        self.write("maps/area.bmp", bitmaps.make_bitmap(64, 64))
        self.write("area.map", map_text("maps/area.bmp", "0,0", "1,1"))
        os.chmod(self.path("maps"), 0o555)
        self.addCleanup(os.chmod, self.path("maps"), 0o755)
        runner, as_nobody = self.runner, None
        if os.geteuid() == 0:  # permissions do not bind root: the run drops to nobody
            if not isinstance(self.runner, PosixRunner):
                self.skipTest("Wine's prefix belongs to root")
            os.chmod(self.dir, 0o755)
            shutil.copy(self.runner.program, self.path("gridsaw"))  # wherever the build lies
            runner = PosixRunner(self.path("gridsaw"), self.runner.valgrind)

            def as_nobody():
                os.setgid(65534)
                os.setuid(65534)

        self.assertFailed(runner.run("area.map", cwd=self.dir, preexec_fn=as_nobody),
                          CANNOT_OPEN_TILE)

    def test_a_tile_name_too_long_for_its_buffer_is_never_created_cut(self):
        stem = "a" * 245
        self.write(stem + ".bmp", bitmaps.make_bitmap(64, 64))
        self.write("area.map", map_text(stem + ".bmp", "0,0", "1,1"))
        self.assertFailed(self.run_gridsaw("area.map"), CANNOT_OPEN_TILE)
        self.assertEqual(sorted(os.listdir(self.dir)), sorted(["area.map", stem + ".bmp"]))

    def test_a_write_failure_leaves_no_partial_tile(self):
        self.write("area.bmp", bitmaps.make_bitmap(904, 600))
        self.write("area.map", map_text("area.bmp", "0,0", "900,600"))

        def limit_file_size():
            resource.setrlimit(resource.RLIMIT_FSIZE, (20000, 20000))

        self.assertFailed(self.run_gridsaw("area.map", preexec_fn=limit_file_size),
                          CANNOT_WRITE_TILE)
        self.assertEqual(self.tile_names(), [])

    def test_a_map_named_like_its_first_tile_survives_intact(self):
        self.write("area.bmp", bitmaps.make_bitmap(904, 600))
        text = map_text("area.bmp", "0,0", "900,600")
        self.write("area tile 0,0.bmp", text)
        self.assertFailed(self.run_gridsaw("area tile 0,0.bmp"), CANNOT_OPEN_TILE)
        self.assertEqual(self.read("area tile 0,0.bmp"), text.encode())
        self.assertEqual(self.tile_names(), ["area tile 0,0.bmp"])


@unittest.skipUnless(isinstance(runner_from_environment(), WineRunner), "Windows program only")
class WindowsCommandLine(ProcessTest):
    """Exact command lines, as Explorer, a shortcut or cmd.exe pass them."""

    def setUp(self):
        super().setUp()
        os.mkdir(self.path("my maps"))
        self.write("area.bmp", bitmaps.make_bitmap(64, 64))
        self.write("my maps/a.map", map_text("area.bmp", "0,0", "1,1"))

    def run_line(self, command_line):
        return self.runner.run_command_line(command_line, cwd=self.dir)

    def test_tails_that_name_the_map(self):
        for line in ['"C:\\Program Files\\Gridsaw\\gridsaw.exe" "my maps\\a.map"',
                     '"C:\\Program Files\\Gridsaw\\gridsaw.exe""my maps\\a.map"',
                     'gridsaw.exe \t  my maps\\a.map',
                     'gridsaw.exe "my maps\\a.map"   ', 'gridsaw.exe my maps\\a.map\t']:
            with self.subTest(line):
                self.assertConverted(self.run_line(line))

    def test_tails_that_do_not(self):
        for line in ['gridsaw.exe', '"C:\\Program Files\\gridsaw.exe my maps\\a.map',
                     'gridsaw.exe "my maps\\a.map" x', 'gridsaw.exe "my maps\\a.map']:
            with self.subTest(line):
                self.assertFailed(self.run_line(line), CANNOT_OPEN_MAP)


@unittest.skipUnless(isinstance(runner_from_environment(), WineRunner), "Windows program only")
class WindowsExecutable(unittest.TestCase):
    """The gridsaw.exe that ships, as a file."""

    def setUp(self):
        self.program = os.environ.get("GRIDSAW_SHIPPED_EXE", runner_from_environment().program)
        with open(self.program, "rb") as f:
            self.exe = f.read()

    def test_is_a_32_bit_gui_program(self):
        pe = struct.unpack_from("<I", self.exe, 0x3C)[0]
        self.assertEqual(self.exe[pe:pe + 4], b"PE\0\0")
        self.assertEqual(struct.unpack_from("<H", self.exe, pe + 4)[0], 0x14C, "i386")
        optional = pe + 24
        self.assertEqual(struct.unpack_from("<H", self.exe, optional)[0], 0x10B, "PE32")
        self.assertEqual(struct.unpack_from("<H", self.exe, optional + 68)[0], 2, "GUI subsystem")

    def test_is_small_and_says_it_runs_on_windows_xp(self):
        self.assertLessEqual(len(self.exe), 96 * 1024)
        pe = struct.unpack_from("<I", self.exe, 0x3C)[0]
        optional = pe + 24
        self.assertEqual(struct.unpack_from("<HH", self.exe, optional + 40), (5, 1), "OS version")
        self.assertEqual(struct.unpack_from("<HH", self.exe, optional + 48), (5, 1),
                         "subsystem version")

    def test_carries_its_icon_manifest_and_version_resource(self):
        for text in (b'level="asInvoker"',
                     b'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"',
                     "ProductName".encode("utf-16-le"), "Gridsaw".encode("utf-16-le"),
                     "FileDescription".encode("utf-16-le")):
            self.assertTrue(text in self.exe, f"{text!r} is not in the program")
        dump = self.objdump()
        # The resource directory's first level, by type.
        resource_types = {int(t, 16) for t in re.findall(r"^\w{3}   Entry: ID: 0x(\w+)", dump, re.M)}
        # RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST
        self.assertTrue({3, 14, 16, 24} <= resource_types, resource_types)

    def objdump(self):
        if not shutil.which("i686-w64-mingw32-objdump"):
            self.skipTest("needs objdump")
        return subprocess.run(["i686-w64-mingw32-objdump", "-p", self.program],
                              capture_output=True, check=True).stdout.decode()

    def test_imports_only_what_its_allowlist_and_windows_xp_have(self):
        imports, dll = set(), None
        for line in self.objdump().splitlines():
            if "DLL Name:" in line:
                dll = line.split(":")[1].strip()
            elif dll and re.match(r"^\t[0-9a-f]+\t +\d+ +\w", line):
                imports.add(f"{dll} {line.split()[2]}")
        listed = os.path.join(os.path.dirname(__file__), "..", "windows_imports.txt")
        with open(listed) as f:
            allowed = {line.strip() for line in f if line.strip() and not line.startswith("#")}
        self.assertEqual(imports - allowed, set(), "imports missing from tests/windows_imports.txt")
        self.assertEqual({i.split()[0].lower() for i in imports},
                         {"kernel32.dll", "user32.dll", "msvcrt.dll"})
        since_vista = re.compile(r"GetTickCount64|InitializeCriticalSectionEx|SRWLock|"
                                 r"ConditionVariable|InitOnce|Create(Event|Mutex|Semaphore)Ex")
        self.assertEqual([i for i in imports if since_vista.search(i)], [])


@unittest.skipUnless(isinstance(runner_from_environment(), WineRunner) and "GRIDSAW" in os.environ,
                     "needs both programs")
class SameTilesOnBothPlatforms(ProcessTest):
    def test_linux_and_windows_programs_write_identical_tiles(self):
        linux = PosixRunner(os.environ["GRIDSAW"])
        sources = {
            "classic": bitmaps.make_bitmap(904, 600),
            "odd": bitmaps.make_bitmap(601, 350, palette_entries=2),
            "v5 top-down gap": bitmaps.make_bitmap(333, 310, info_header_size=124, top_down=True,
                                                   gap=10),
        }
        for name, data in sources.items():
            with self.subTest(name):
                self.write("area.bmp", data)
                self.write("area.map", map_text("area.bmp", "-1,-7", "900,600"))
                tiles = {}
                for runner in (linux, self.runner):
                    for tile in self.tile_names():
                        os.remove(self.path(tile))
                    self.assertConverted(runner.run("area.map", cwd=self.dir))
                    tiles[runner] = {tile: self.read(tile) for tile in self.tile_names()}
                self.assertEqual(len(tiles[linux]), 12)
                self.assertEqual(tiles[linux], tiles[self.runner])


if __name__ == "__main__":
    unittest.main()
