"""The release as a user gets it, after ./test.sh has built it: the Linux
packages (their metadata, their files, the packaged program run on the
example map), `cmake --install` into a prefix, the man page through groff,
and the Windows zip."""

import os
import re
import shutil
import subprocess
import tarfile
import tempfile
import unittest
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.path.join(ROOT, "build")
with open(os.path.join(ROOT, "CMakeLists.txt")) as cmake_lists:
    VERSION = re.search(r"project\(Gridsaw VERSION (\S+)", cmake_lists.read())[1]
LINUX_FILES = {"bin/gridsaw", "share/man/man1/gridsaw.1", "share/doc/gridsaw/README.md"}


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
            self.assertEqual(sorted(archive.namelist()),
                             ["README.txt", "gridsaw.exe", "island.bmp", "island.map"])
            readme = archive.read("README.txt")
        self.assertGreater(readme.count(b"\r\n"), 100)
        self.assertEqual(readme.count(b"\n"), readme.count(b"\r\n"), "every line ends in CR LF")


if __name__ == "__main__":
    unittest.main()
