"""Real-world faults around a running Gridsaw (Linux): a full disk, an output
folder that vanishes or turns read-only mid-run, a source that shrinks while
it is read, and two runs on the same map at once. Whatever happens, the run
ends in one of its messages, and every tile left behind is whole."""

import ctypes
import os
import resource
import signal
import shutil
import subprocess
import tempfile
import time
import unittest
from random import Random

import bitmaps
from runners import PosixRunner, runner_from_environment
from test_process import (CANNOT_OPEN_TILE, CANNOT_WRITE_TILE, ProcessTest, map_text)

CANNOT_READ_SOURCE = "Error: cannot read source bitmap!"


def no_padding(x, y):
    return 0

TILE_SIZE = 118 + 304 * 300 // 2
CONVERTED = (123, "Map has been converted to tiles.")


def can_mount():
    if os.geteuid() != 0 or not shutil.which("mount"):
        return False
    probe = tempfile.mkdtemp(prefix="gridsaw-mount-")
    try:
        if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", probe],
                          capture_output=True).returncode != 0:
            return False
        subprocess.run(["umount", probe], check=True)
        return True
    finally:
        os.rmdir(probe)


MOUNTS = can_mount()


@unittest.skipUnless(isinstance(runner_from_environment(), PosixRunner), "Linux program only")
class RealWorldFaults(ProcessTest):
    def mount_tmpfs(self, size):
        folder = self.path("mounted")
        os.mkdir(folder)
        subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={size}", "tmpfs", folder], check=True)
        self.addCleanup(subprocess.run, ["umount", "-l", folder])
        return folder

    def start(self, map_path, cwd):
        """Starts Gridsaw in the background; returns the process."""
        program = subprocess.Popen([self.runner.program, map_path], cwd=cwd,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.addCleanup(program.kill)
        return program

    def finish(self, program):
        out, err = program.communicate(timeout=120)
        lines = (out + err).decode().splitlines()
        self.assertEqual(len(lines), 1, lines)
        return program.returncode, lines[0].partition("Gridsaw: ")[2]

    def wait_for(self, path, program):
        deadline = time.monotonic() + 30
        while not os.path.exists(path):
            self.assertIsNone(program.poll(), "the run ended before the fault")
            self.assertLess(time.monotonic(), deadline)

    def assertWholeTiles(self, folder, at_least=0):
        tiles = [n for n in os.listdir(folder) if " tile " in n]
        self.assertGreaterEqual(len(tiles), at_least)
        for name in tiles:
            self.assertEqual(os.path.getsize(os.path.join(folder, name)), TILE_SIZE, name)
        return len(tiles)

    @unittest.skipUnless(MOUNTS, "needs to mount a tmpfs")
    @unittest.skipIf("GRIDSAW_SANITIZED" in os.environ,
                     "AddressSanitizer maps more address space than the limit allows")
    def test_running_out_of_memory_is_told_before_any_tile_is_touched(self):
        # A 200,000-pixel-wide RLE4 map that ends at once: its band needs 30 MB.
        width, height = 200000, 300
        header = bitmaps.make_bitmap(8, 8)[:118]
        header = bitmaps.with_u32(bitmaps.with_u32(header, 18, width), 22, height)
        self.write("area.bmp", bitmaps.with_u32(header, 30, 2) + b"\0\1")
        self.write("area tile 0,0.bmp", b"old tile")
        limit = 16 << 20

        def limit_memory():
            resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

        self.write("area.map", map_text("area.bmp", "0,0", f"{width},{height}"))
        self.assertFailed(self.run_gridsaw("area.map", preexec_fn=limit_memory),
                          "Error: not enough memory!")
        self.assertEqual(self.read("area tile 0,0.bmp"), b"old tile")
        self.assertEqual(self.tile_names(), ["area tile 0,0.bmp"])
        self.write("area.map", map_text("area.bmp", "0,0", "300,300"))
        self.assertConverted(self.run_gridsaw("area.map", preexec_fn=limit_memory))

    @unittest.skipIf("GRIDSAW_SANITIZED" in os.environ, "the sanitizers replace malloc")
    def test_with_every_allocation_failing_from_the_first_tile_on_every_tile_is_written(self):
        gimp_rle4 = os.path.join(os.path.dirname(os.path.abspath(__file__)), "editors",
                                 "gimp-rle4.bmp")
        with open(gimp_rle4, "rb") as f:
            sources = {"plain": bitmaps.make_bitmap(904, 600), "RLE4": f.read()}
        preload = {"LD_PRELOAD": os.environ["GRIDSAW_ALLOCATIONS_FAIL"]}
        # Three column groups from an odd negative left: the later ones start
        # on an even column at or before theirs, and hold a byte more a row.
        self.write("wide.bmp", bitmaps.make_bitmap(700004, 1))
        self.write("wide.map", map_text("wide.bmp", "-151,0", "700004,1"))
        self.assertConverted(self.run_gridsaw("wide.map", extra_env=preload))
        self.assertEqual(len(self.tile_names()), 2334)
        for kind, source in sources.items():
            with self.subTest(kind):
                for name in self.tile_names():
                    os.remove(self.path(name))
                self.write("area.bmp", source)
                self.write("area.map", map_text("area.bmp", "-151,-7", "749,593"))
                self.assertConverted(self.run_gridsaw("area.map", extra_env=preload))
                # An RLE4 source's row padding is index 0.
                self.assertTilesShowSource("area.bmp", -151, -7, 3, 2,
                                           padding=bitmaps.pixel if kind == "plain" else no_padding)

    @unittest.skipIf("GRIDSAW_SANITIZED" in os.environ,
                     "AddressSanitizer maps more address space than the limits allow")
    def test_at_every_address_space_limit_the_run_ends_in_success_or_its_message(self):
        # Bands of 1.8 MB, uncompressed and RLE4 (a stream that ends at once).
        width, height = 12004, 300
        header = bitmaps.with_u32(bitmaps.make_bitmap(8, 8)[:118], 18, width)
        self.write("rle4.bmp", bitmaps.with_u32(header, 30, 2) + b"\0\1")
        self.write("plain.bmp", bitmaps.make_bitmap(width, height))
        for kind in ("rle4", "plain"):
            self.write(f"{kind}.map", map_text(f"{kind}.bmp", "0,0", f"{width},{height}"))

        def limited(limit):
            return lambda: resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

        def starts(limit):
            done = subprocess.run([self.runner.program, "missing.map"], cwd=self.dir,
                                  capture_output=True, preexec_fn=limited(limit))
            return done.returncode == 0 and done.stderr.startswith(b"Gridsaw: ")

        low, high = 1 << 20, 256 << 20  # the program starts at high, not at low
        self.assertTrue(starts(high))
        while high - low > 1 << 18:
            middle = (low + high) // 2
            low, high = (low, middle) if starts(middle) else (middle, high)
        outcomes = set()
        for limit in range(high, high + (12 << 20), 1 << 19):
            for kind in ("rle4", "plain"):
                outcome = self.runner.run(f"{kind}.map", cwd=self.dir, preexec_fn=limited(limit))
                outcomes.add((outcome.status, outcome.message))
        self.assertEqual(outcomes, {CONVERTED, (0, "Error: not enough memory!")})

    def test_a_full_disk_stops_the_run_and_removes_the_unfinished_tile(self):
        folder = self.mount_tmpfs("120k")  # room for the source and two tiles
        with open(os.path.join(folder, "area.bmp"), "wb") as f:
            f.write(bitmaps.make_bitmap(64, 64))
        with open(os.path.join(folder, "area.map"), "w", newline="") as f:
            f.write(map_text("area.bmp", "0,0", "900,600"))
        self.assertFailed(self.runner.run("area.map", cwd=folder), CANNOT_WRITE_TILE)
        self.assertEqual(self.assertWholeTiles(folder), 2)

    def test_an_output_folder_that_vanishes_mid_run(self):
        folder = self.path("maps")
        os.mkdir(folder)
        self.write("maps/area.bmp", bitmaps.make_bitmap(64, 64))
        # Absolute paths: the tiles go to the folder by its name.
        self.write("maps/area.map", map_text(os.path.join(folder, "area.bmp"), "0,0", "1500000,1"))
        program = self.start(os.path.join(folder, "area.map"), self.dir)
        self.wait_for(os.path.join(folder, "area tile 0,0.bmp"), program)
        os.rename(folder, self.path("moved"))
        self.assertEqual(self.finish(program), (0, CANNOT_OPEN_TILE))
        self.assertWholeTiles(self.path("moved"), at_least=1)

    @unittest.skipUnless(MOUNTS, "needs to mount a tmpfs")
    def test_an_output_folder_that_turns_read_only_mid_run(self):
        folder = self.mount_tmpfs("400m")
        with open(os.path.join(folder, "area.bmp"), "wb") as f:
            f.write(bitmaps.make_bitmap(64, 64))
        with open(os.path.join(folder, "area.map"), "w", newline="") as f:
            f.write(map_text(os.path.join(folder, "area.bmp"), "0,0", "1500000,1"))
        program = self.start(os.path.join(folder, "area.map"), self.dir)
        self.wait_for(os.path.join(folder, "area tile 0,0.bmp"), program)
        # A file open for writing makes the remount busy; try until it falls
        # between two tiles, with the system call itself to be quick enough.
        libc = ctypes.CDLL(None, use_errno=True)
        ms_rdonly, ms_remount = 1, 32
        while libc.mount(None, folder.encode(), None, ms_remount | ms_rdonly, None) != 0:
            self.assertIsNone(program.poll(), "the run ended before the fault")
        status, message = self.finish(program)
        self.assertEqual(status, 0)
        self.assertIn(message, (CANNOT_OPEN_TILE, CANNOT_WRITE_TILE))
        # Linux may create a file and then fail its open when the folder turns
        # read-only in between; the folder then refuses its removal. That file
        # is empty, the last of the tiles, and never looks whole.
        tiles = sorted((n for n in os.listdir(folder) if " tile " in n),
                       key=lambda n: int(n.split(" tile ")[1].split(",")[0]))
        if tiles and os.path.getsize(os.path.join(folder, tiles[-1])) == 0:
            tiles.pop()
        for name in tiles:
            self.assertEqual(os.path.getsize(os.path.join(folder, name)), TILE_SIZE, name)
        self.assertGreaterEqual(len(tiles), 1)

    def test_a_source_that_shrinks_while_it_is_read(self):
        self.write("area.bmp", bitmaps.make_bitmap(640, 600))
        # Row 0 of tiles reads the top of the image, stored last; then a long
        # way through tiles beyond the image before row 1 reads its band.
        self.write("area.map", map_text("area.bmp", "0,0", "450000,600"))
        program = self.start("area.map", self.dir)
        self.wait_for(self.path("area tile 0,0.bmp"), program)
        os.truncate(self.path("area.bmp"), 118)
        self.assertEqual(self.finish(program), (0, CANNOT_READ_SOURCE))
        tiles = self.assertWholeTiles(self.dir, at_least=1)
        self.assertEqual(len([n for n in os.listdir(self.dir) if n.endswith(",1.bmp")]), 0)
        self.assertLessEqual(tiles, 1500)

    def test_two_runs_on_the_same_map_at_once_leave_whole_tiles(self):
        self.write("area.bmp", bitmaps.make_bitmap(904, 600))
        self.write("area.map", map_text("area.bmp", "0,0", "9000,600"))
        for attempt in range(5):
            for tile in self.tile_names():
                os.remove(self.path(tile))
            runs = [self.start("area.map", self.dir) for _ in range(2)]
            outcomes = [self.finish(run) for run in runs]
            for outcome in outcomes:
                self.assertIn(outcome, (CONVERTED, (0, CANNOT_OPEN_TILE)))
            tiles = self.assertWholeTiles(self.dir)
            if CONVERTED in outcomes:
                self.assertEqual(tiles, 60)
                self.assertTilesShowSource("area.bmp", 0, 0, 30, 2)

    def tiles_in(self, folder):
        tiles = {}
        for name in (n for n in os.listdir(folder) if " tile " in n):
            with open(os.path.join(folder, name), "rb") as f:
                tiles[name] = f.read()
        return tiles

    def test_interrupted_runs_leave_every_tile_whole_new_or_old(self):
        """SIGINT and SIGTERM at random moments of reruns over existing tiles:
        every file with a tile's name holds a whole tile, new or old."""
        folder = tempfile.mkdtemp(prefix="gridsaw-signals-", dir="/dev/shm"
                                  if os.path.isdir("/dev/shm") else self.dir)
        self.addCleanup(shutil.rmtree, folder, True)
        with open(os.path.join(folder, "area.map"), "w", newline="") as f:
            f.write(map_text("area.bmp", "-7,-3", "60000,600"))
        tiles = {}
        for age, pixel_of in (("old", lambda x, y: (x + 2 * y) & 15), ("new", bitmaps.pixel)):
            with open(os.path.join(folder, "area.bmp"), "wb") as f:
                f.write(bitmaps.make_bitmap(904, 600, pixel_of=pixel_of))
            self.assertEqual(self.finish(self.start("area.map", folder)), CONVERTED)
            tiles[age] = self.tiles_in(folder)
        random = Random(1209)
        outcomes = set()
        for trial in range(40):
            for name, tile in tiles["old"].items():
                with open(os.path.join(folder, name), "wb") as f:
                    f.write(tile)
            program = subprocess.Popen([self.runner.program, "area.map"], cwd=folder,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(random.uniform(0, 0.05))
            chosen = (signal.SIGINT, signal.SIGTERM)[trial % 2]
            program.send_signal(chosen)
            status = program.wait(timeout=60)
            self.assertIn(status, (-chosen, 123))
            outcomes.add(status)
            for name, tile in self.tiles_in(folder).items():
                self.assertTrue(tile in (tiles["old"][name], tiles["new"][name]),
                                f"trial {trial}: {name} ({len(tile)} bytes) is neither the "
                                "old tile nor the new one")
        self.assertIn(-signal.SIGTERM, outcomes, "no run was interrupted")

    def test_a_closed_standard_output_leaves_the_status_alone(self):
        self.write("area.bmp", bitmaps.make_bitmap(64, 64))
        self.write("area.map", map_text("area.bmp", "0,0", "1,1"))
        reader, writer = os.pipe()
        os.close(reader)  # as `gridsaw area.map | head -c0` leaves it
        done = subprocess.run([self.runner.program, "area.map"], cwd=self.dir, stdout=writer,
                              stderr=subprocess.DEVNULL)
        os.close(writer)
        self.assertEqual(done.returncode, 123)

    def test_a_source_rewritten_by_another_program_mid_run_is_an_error(self):
        self.write("area.bmp", bitmaps.make_bitmap(904, 600))
        self.write("area.map", map_text("area.bmp", "0,0", "450000,600"))
        program = self.start("area.map", self.dir)
        self.wait_for(self.path("area tile 0,0.bmp"), program)
        program.send_signal(signal.SIGSTOP)
        self.addCleanup(program.send_signal, signal.SIGCONT)
        with open(self.path("area.bmp"), "r+b") as f:  # no lock: flock is advisory
            f.seek(118)
            f.write(bytes(1000))
        program.send_signal(signal.SIGCONT)
        self.assertEqual(self.finish(program), (0, CANNOT_READ_SOURCE))
        self.assertWholeTiles(self.dir, at_least=1)


if __name__ == "__main__":
    unittest.main()
