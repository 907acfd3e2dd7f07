"""The release as a user gets it, after ./test.sh has built it: the Linux
packages (their metadata, their files, the packaged program run on the
example map, lintian's verdict), `cmake --install` into a prefix, the man
page through groff, the Windows zip and its README, and the icon."""

import os
import re
import shutil
import struct
import subprocess
import tarfile
import tempfile
import unittest
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.path.join(ROOT, "build")
with open(os.path.join(ROOT, "CMakeLists.txt")) as cmake_lists:
    VERSION = re.search(r"project\(Gridsaw VERSION (\S+)", cmake_lists.read())[1]
LINUX_FILES = {"bin/gridsaw", "share/man/man1/gridsaw.1.gz", "share/doc/gridsaw/README.md",
               "share/doc/gridsaw/copyright", "share/doc/gridsaw/changelog.gz"}
MIT_GRANT = b"Permission is hereby granted, free of charge, to any person obtaining a copy"


def read(*path):
    with open(os.path.join(ROOT, *path), "rb") as f:
        return f.read()


class Release(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="gridsaw-release-")
        self.addCleanup(shutil.rmtree, self.dir, True)

    def run_on_the_example(self, program):
        for name in ("island.bmp", "island.map"):
            shutil.copy(os.path.join(ROOT, "example", name), self.dir)
        done = subprocess.run([program, "island.map"], cwd=self.dir, capture_output=True)
        self.assertEqual((done.returncode, done.stdout), (123, b"Gridsaw: Map has been converted "
                                                                b"to tiles.\n"))
        self.assertEqual(len([n for n in os.listdir(self.dir) if " tile " in n]), 12)

    def test_the_deb_describes_itself_and_holds_the_program_that_runs(self):
        deb = os.path.join(BUILD, f"gridsaw-{VERSION}-Linux.deb")
        fields = {field: subprocess.run(["dpkg-deb", "-f", deb, field], capture_output=True,
                                        check=True).stdout.decode().strip()
                  for field in ("Package", "Version", "Maintainer", "Section", "Depends",
                                "Description")}
        self.assertEqual((fields["Package"], fields["Version"], fields["Section"]),
                         ("gridsaw", VERSION, "graphics"))
        self.assertIn("@", fields["Maintainer"])
        self.assertRegex(fields["Depends"], r"\blibc6 \(>= ")  # computed from the binary
        self.assertIn("16-colour BMP", fields["Description"])
        listing = subprocess.run(["dpkg-deb", "-c", deb], capture_output=True,
                                 check=True).stdout.decode()
        for path in LINUX_FILES:
            self.assertIn(f"./usr/{path}\n", listing)
        unpacked = os.path.join(self.dir, "unpacked")
        subprocess.run(["dpkg-deb", "-x", deb, unpacked], check=True)
        self.run_on_the_example(os.path.join(unpacked, "usr", "bin", "gridsaw"))
        with open(os.path.join(unpacked, "usr/share/doc/gridsaw/copyright"), "rb") as f:
            copyright = f.read()
        self.assertTrue(copyright.startswith(b"Format: https://www.debian.org/doc/packaging-manuals/"
                                             b"copyright-format/1.0/\n"))
        self.assertIn(b"License: Expat\n " + MIT_GRANT, copyright)

    def test_lintian_finds_no_error_or_warning_in_the_deb(self):
        deb = os.path.join(BUILD, f"gridsaw-{VERSION}-Linux.deb")
        done = subprocess.run(["lintian", deb], capture_output=True)
        self.assertEqual(re.findall(rb"^[EW]: .*", done.stdout, re.M), [])

    def test_the_tarball_and_cmake_install_hold_the_same_files(self):
        with tarfile.open(os.path.join(BUILD, f"gridsaw-{VERSION}-Linux.tar.gz")) as tarball:
            names = {n.split("/", 1)[1] for n in tarball.getnames() if "/" in n}
        self.assertTrue(LINUX_FILES <= names, names)
        prefix = os.path.join(self.dir, "prefix")
        subprocess.run(["cmake", "--install", BUILD, "--prefix", prefix], check=True,
                       capture_output=True)
        for path in LINUX_FILES:
            self.assertTrue(os.path.isfile(os.path.join(prefix, path)), path)
        self.run_on_the_example(os.path.join(prefix, "bin", "gridsaw"))

    def test_the_man_page_renders_without_a_warning(self):
        page = os.path.join(BUILD, "gridsaw.1")
        done = subprocess.run(["groff", "-man", "-ww", "-z", page], capture_output=True)
        self.assertEqual((done.returncode, done.stderr), (0, b""))
        with open(page) as f:
            text = f.read()
        for section in ("NAME", "SYNOPSIS", "MAP DESCRIPTION", "THE GRID AND THE TILES",
                        "MESSAGES", "EXIT STATUS", "FILES", "EXAMPLE"):
            self.assertIn(f".SH {section}\n", text)
        self.assertIn(f"Gridsaw {VERSION}", text)

    def test_the_windows_zip_holds_the_program_a_readme_for_notepad_and_the_example(self):
        with zipfile.ZipFile(os.path.join(ROOT, "build-windows",
                                          f"gridsaw-{VERSION}-win32.zip")) as archive:
            self.assertEqual(sorted(archive.namelist()), ["LICENSE.txt", "README.txt", "gridsaw.exe",
                                                          "island.bmp", "island.map"])
            readme, licence = archive.read("README.txt"), archive.read("LICENSE.txt")
        for text in (readme, licence):
            self.assertEqual(text.count(b"\n"), text.count(b"\r\n"), "every line ends in CR LF")
        self.assertIn(MIT_GRANT, licence)
        # Written for the user of the program: plain text that Notepad on XP shows right.
        self.assertEqual(readme.replace(b"\r\n", b"\n"), read("doc", "README.txt"))
        self.assertTrue(readme.isascii())
        self.assertEqual([line for line in readme.split(b"\r\n") if len(line) > 78], [])
        for developer_text in (b"![", b"](", b"```", b"./build.sh", b"./test.sh", b"cmake",
                               b"apt-get"):
            self.assertNotIn(developer_text, readme)
        self.assertIn(b"LICENSE.txt", readme)
        self.assertIn(b"\n```text\n" + read("doc", "README.txt") + b"```\n", read("README.md"),
                      "README.md holds the user's guide verbatim")

    def test_the_icon_has_an_image_for_every_colour_depth(self):
        icon = read("app", "gridsaw.ico")
        reserved, kind, count = struct.unpack_from("<HHH", icon)
        self.assertEqual((reserved, kind), (0, 1))
        images = set()
        for i in range(count):
            width, height, colours, _, planes, bits, size, offset = struct.unpack_from(
                "<BBBBHHII", icon, 6 + 16 * i)
            header = struct.unpack_from("<IiiHH", icon, offset)
            self.assertEqual(header, (40, width, 2 * height, 1, bits), "a DIB with its mask")
            self.assertEqual(colours, 16 if bits == 4 else 0)
            palette = 4 << bits if bits <= 8 else 0
            pixels = (width * bits + 31) // 32 * 4 * height
            mask = (width + 31) // 32 * 4 * height
            self.assertEqual(size, 40 + palette + pixels + mask)
            images.add((width, bits))
        self.assertEqual(images, {(48, 32), (32, 32), (16, 32), (32, 8), (16, 8), (32, 4), (16, 4)})


if __name__ == "__main__":
    unittest.main()
