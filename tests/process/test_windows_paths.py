"""The Windows program opens exactly the files the user named, whatever
characters their paths hold, and refuses device names at once. Started as
Explorer starts it, by CreateProcessW with an exact command line."""

import os
import time
import unittest

import bitmaps
from runners import WineRunner, runner_from_environment, windows_path
from test_process import CANNOT_OPEN_MAP, CANNOT_OPEN_SOURCE, ProcessTest, map_text


@unittest.skipUnless(isinstance(runner_from_environment(), WineRunner), "Windows program only")
class WindowsPaths(ProcessTest):
    def make_map(self, folder, source_line, encoding="utf-8"):
        os.makedirs(self.path(folder), exist_ok=True)
        self.write(f"{folder}/area.bmp", bitmaps.make_bitmap(64, 64))
        self.write(f"{folder}/a.map", map_text(source_line, "0,0", "1,1").encode(encoding))
        return windows_path(self.path(f"{folder}/a.map"))

    def run_line(self, tail):
        return self.runner.run_command_line(f'gridsaw.exe "{tail}"', cwd=self.dir)

    def test_folders_named_in_greek_cyrillic_and_cjk_and_never_their_look_alike(self):
        # Windows' best-fit conversion to code page 1252 turns "Ωmaps" into
        # "Omaps": a decoy there must never be opened or written.
        decoy = self.make_map("Omaps", windows_path(self.path("Omaps/area.bmp")))
        with open(self.path("Omaps/a.map"), "rb") as f:
            decoy_map = f.read()
        for folder in ("Ωmaps", "карта", "地図"):
            with self.subTest(folder):
                source = windows_path(self.path(f"{folder}/area.bmp"))
                self.assertConverted(self.run_line(self.make_map(folder, source)))
                self.assertTrue(os.path.exists(self.path(f"{folder}/area tile 0,0.bmp")))
        self.assertEqual(sorted(os.listdir(self.path("Omaps"))), ["a.map", "area.bmp"], decoy)
        with open(self.path("Omaps/a.map"), "rb") as f:
            self.assertEqual(f.read(), decoy_map)

    def test_line_1_in_utf8_and_in_the_ansi_code_page_names_the_same_file(self):
        source = windows_path(self.path("carté/area.bmp"))
        for encoding in ("utf-8", "cp1252"):
            with self.subTest(encoding):
                self.assertConverted(self.run_line(self.make_map("carté", source, encoding)))
                os.remove(self.path("carté/area tile 0,0.bmp"))

    def test_device_names_are_refused_at_once(self):
        self.write("device.map", map_text("COM1", "0,0", "1,1"))
        for tail, message in (("COM1", CANNOT_OPEN_MAP), ("AUX", CANNOT_OPEN_MAP),
                              ("CON", CANNOT_OPEN_MAP), ("NUL", CANNOT_OPEN_MAP),
                              ("device.map", CANNOT_OPEN_SOURCE)):
            with self.subTest(tail):
                started = time.monotonic()
                self.assertFailed(self.runner.run(tail, cwd=self.dir, timeout=30), message)
                self.assertLess(time.monotonic() - started, 20)


if __name__ == "__main__":
    unittest.main()
