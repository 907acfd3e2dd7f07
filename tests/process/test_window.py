"""gridsaw.exe showing its message box in a real window, on an Xvfb display:
the program must wait for the user, then exit with its status. The
screenshots are kept as test artefacts (GRIDSAW_ARTIFACTS)."""

import os
import shutil
import subprocess
import tempfile
import time
import unittest

from PIL import Image

import bitmaps
from runners import WINE, WineRunner, launch_environment, runner_from_environment
from test_process import ProcessTest, map_text

TOOLS = ("Xvfb", "xdotool", "xwd", "convert")


def set_wine_registry(key, name, value):
    subprocess.run([WINE, "reg", "add", key, "/v", name, "/t", "REG_SZ", "/d", value, "/f"],
                   env=dict(os.environ, WINEDEBUG="-all"), check=True,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


@unittest.skipUnless(isinstance(runner_from_environment(), WineRunner) and
                     all(shutil.which(tool) for tool in TOOLS), "needs Wine, Xvfb and xdotool")
class MessageBoxOnADisplay(ProcessTest):
    def setUp(self):
        super().setUp()
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "800x600x24", "-nolisten", "tcp"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as display_number:
            self.display = ":" + display_number.readline().strip()
        self.wait_for_display()
        print("DISPLAY", self.display)
        self.addCleanup(self.xvfb.wait)
        self.addCleanup(self.xvfb.terminate)
        # Wine then draws the caption itself and closes the window at once.
        for name in ("Managed", "Decorated"):
            set_wine_registry("HKCU\\Software\\Wine\\X11 Driver", name, "N")
        self.wait_for_headless_desktop_to_close()
        self.artifacts = os.environ.get("GRIDSAW_ARTIFACTS") or tempfile.gettempdir()
        os.makedirs(self.artifacts, exist_ok=True)

    def wait_for_headless_desktop_to_close(self):
        # Wine's desktop process outlives the last window by a few seconds. One
        # started without a display (by the other tests) would take this
        # test's window too and draw it nowhere.
        def headless_desktops():
            found = []
            for pid in filter(str.isdigit, os.listdir("/proc")):
                try:
                    with open(f"/proc/{pid}/cmdline", "rb") as f:
                        command = f.read()
                    with open(f"/proc/{pid}/environ", "rb") as f:
                        environment = f.read().split(b"\0")
                except OSError:
                    continue
                prefix = f"WINEPREFIX={os.environ.get('WINEPREFIX', '')}".encode()
                if (b"explorer.exe\0/desktop" in command and prefix in environment and
                        not any(v.startswith(b"DISPLAY=") for v in environment)):
                    found.append(pid)
            return found

        deadline = time.monotonic() + 60
        while headless_desktops():
            self.assertLess(time.monotonic(), deadline, "Wine's desktop process did not end")
            time.sleep(0.2)

    def wait_for_display(self):
        # Xvfb names its display a moment before it serves it well enough for Wine.
        deadline = time.monotonic() + 30
        while subprocess.run(["xdotool", "getdisplaygeometry"], capture_output=True,
                             env=dict(os.environ, DISPLAY=self.display)).returncode != 0:
            self.assertLess(time.monotonic(), deadline, "Xvfb did not start")
            time.sleep(0.1)

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=dict(os.environ, DISPLAY=self.display),
                              check=True, capture_output=True, timeout=30).stdout.decode()

    def show_box(self, tail, screenshot_name):
        env = dict(os.environ, DISPLAY=self.display, WINEDEBUG="-all",
                   **launch_environment(self.runner.program, "gridsaw.exe " + tail))
        program = subprocess.Popen([WINE, self.runner.launcher], cwd=self.dir, env=env,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        self.addCleanup(program.kill)
        window = self.xdotool("search", "--sync", "--name", "^Gridsaw$").split()[0]
        time.sleep(1)  # let the box paint itself
        screenshot = os.path.join(self.artifacts, screenshot_name)
        subprocess.run(f"xwd -root -silent -display {self.display} | convert xwd:- {screenshot}",
                       shell=True, check=True, timeout=30)
        self.assertIsNone(program.poll(), "the program must wait for the box")
        self.assertGreater(len(Image.open(screenshot).getcolors(1 << 16) or ()), 4,
                           "the screenshot shows a drawn box")
        self.xdotool("windowfocus", window)
        self.xdotool("key", "Return")
        return program.wait(timeout=30)

    def test_success_box_waits_for_return_then_exits_123(self):
        self.write("area.bmp", bitmaps.make_bitmap(64, 64))
        self.write("area.map", map_text("area.bmp", "0,0", "1,1"))
        self.assertEqual(self.show_box("area.map", "message-box-success.png"), 123)
        self.assertEqual(self.tile_names(), ["area tile 0,0.bmp"])

    def test_error_box_waits_for_return_then_exits_0(self):
        self.assertEqual(self.show_box("missing.map", "message-box-error.png"), 0)


if __name__ == "__main__":
    unittest.main()
