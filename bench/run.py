#!/usr/bin/env python3
"""Gridsaw's benchmark: how close it comes to the I/O floor, and its memory.

For a 6,004 x 6,000 and a 24,004 x 24,000 16-colour map it times Gridsaw
cutting the full grid (400 and 6,400 tiles) and, alternating with it, the
floor: a program that reads the source once and creates as many files of a
tile's size with one write each. It prints medians, the ratio Gridsaw / floor
and Gridsaw's peak resident memory, and times the peer tools it finds
(ImageMagick, PIL, libvips) on the closest grid they cut: 300 x 300 tiles.
The 24,004 x 24,000 map is timed once more saved as RLE4 against the same
map uncompressed, the runs of the two alternating so that both meet the
machine in the same state, and so is a very wide map, 1,200,004 x 300, whose
band the cap splits into six column groups, and a 4,800,004 x 30 map saved
as RLE4 of 2-pixel runs only, one stream byte a pixel; the large map is
timed once more saved with 8 bits a pixel, as Pillow saves 16 levels of
grey, and as RLE8 of those against them. Peak memory is also taken on a
short map (a twentieth of the height) and on a very wide one cut from a
corner outside the image.

    bench/run.py            # in a folder on tmpfs (/dev/shm), where there is one
    bench/run.py --disk     # in a folder on the disk that holds the build
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build")
TILE_FILE_SIZE = 118 + 304 * 300 // 2
SIZES = [(6004, 6000), (24004, 24000)]
WIDE = (1200004, 300)  # one band of 4,000 tiles, in six column groups
PAIRS = (4800004, 30)  # one band of 16,000 tiles, two pixels a code


def build_tools():
    if not os.path.exists(os.path.join(BUILD, "CMakeCache.txt")):
        subprocess.run(["cmake", "-S", ROOT, "-B", BUILD, "-DCMAKE_BUILD_TYPE=Release"],
                       check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", BUILD, "--target", "gridsaw", "make_map", "io_floor", "measure",
                    "-j", str(os.cpu_count())], check=True, stdout=subprocess.DEVNULL)


# Every timed run on the same core: the cores of a virtual machine may run
# at different speeds, which would make runs that alternate unequal.
CORE = max(os.sched_getaffinity(0))


def timed(command, cwd):
    """Wall time in seconds, peak resident memory in MiB and exit status of
    one run, and the first line the command wrote to standard error."""
    measure = os.path.join(BUILD, "bench", "measure")
    program = shutil.which(command[0]) or command[0]
    done = subprocess.run([measure, program] + command[1:], cwd=cwd, capture_output=True,
                          check=True, preexec_fn=lambda: os.sched_setaffinity(0, {CORE}))
    seconds, peak_kib, status = done.stdout.decode().split()[-3:]
    complaint = (done.stderr.decode(errors="replace").strip().splitlines() or [""])[0]
    return float(seconds), int(peak_kib) / 1024, int(status), complaint


def fresh_folder(path):
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)


PIL_CUT = """
import sys
from PIL import Image
Image.MAX_IMAGE_PIXELS = None
source, out = sys.argv[1], sys.argv[2]
image = Image.open(source)
image.load()
for row, y in enumerate(range(0, image.height, 300)):
    for column, x in enumerate(range(0, image.width - 4, 300)):
        image.crop((x, y, x + 300, y + 300)).save(f"{out}/tile {column},{row}.bmp")
"""


def peers(source, out):
    """The peer tools found on this machine, each as a command that cuts the
    source into 300 x 300 BMP tiles in `out`."""
    found = {}
    if shutil.which("convert") and not os.path.islink(shutil.which("convert")):
        found["ImageMagick"] = ["convert", source, "-crop", "300x300", "+repage",
                                f"{out}/tile_%d.bmp"]
    python = "/usr/bin/python3"
    if subprocess.run([python, "-c", "import PIL"], capture_output=True).returncode == 0:
        found["PIL"] = [python, "-c", PIL_CUT, source, out]
    if shutil.which("vips"):
        found["libvips"] = ["vips", "dzsave", source, f"{out}/tiles", "--depth", "one",
                            "--tile-size", "300", "--overlap", "0", "--suffix", ".bmp"]
    return found


def make_map(folder, width, height, kind=None, corners=None):
    """A generated map and its description, in `folder`, for the grid between
    `corners` or else the full one; returns the source's path and the full
    grid's columns and rows. `kind` is make_map's: rle4, rle4pairs, 8bit,
    rle8 or none."""
    fresh_folder(folder)
    source = os.path.join(folder, "map.bmp")
    subprocess.run([os.path.join(BUILD, "bench", "make_map"), source, str(width), str(height)] +
                   ([kind] if kind else []), check=True)
    first, last = corners or ("0,0", f"{width - 4},{height}")
    with open(os.path.join(folder, "map.map"), "w", newline="") as f:
        f.write(f"map.bmp\r\n{first}\r\n.\r\n.\r\n{last}\r\n\r\n\r\n")
    return source, (width - 4 + 299) // 300, (height + 299) // 300


def bench_size(work, width, height, runs, peer_runs, with_peers):
    maps = os.path.join(work, "gridsaw")
    floor_out = os.path.join(work, "floor")
    fresh_folder(floor_out)
    source, columns, rows = make_map(maps, width, height)
    gridsaw = [os.path.join(BUILD, "gridsaw"), "map.map"]
    floor = [os.path.join(BUILD, "bench", "io_floor"), source, floor_out, str(columns * rows),
             str(TILE_FILE_SIZE)]

    # One run of each first: the source in the page cache, the tiles existing.
    assert timed(gridsaw, maps)[2] == 123, "Gridsaw failed"
    assert timed(floor, maps)[2] == 0, "the floor program failed"
    tiles = [n for n in os.listdir(maps) if n.endswith(".bmp") and n != "map.bmp"]
    assert len(tiles) == columns * rows, (len(tiles), columns * rows)

    gridsaw_times, floor_times, memory = [], [], []
    for _ in range(runs):
        elapsed, rss, status, _ = timed(gridsaw, maps)
        assert status == 123
        gridsaw_times.append(elapsed)
        memory.append(rss)
        floor_times.append(timed(floor, maps)[0])

    g, f = statistics.median(gridsaw_times), statistics.median(floor_times)
    print(f"\n{width:,} x {height:,} map, "
          f"{columns} x {rows} = {columns * rows:,} tiles, "
          f"source {os.path.getsize(source) / 2**20:.0f} MiB, {runs} runs each")
    print(f"  Gridsaw        median {g:8.3f} s   peak RSS {max(memory):6.1f} MiB")
    print(f"  floor          median {f:8.3f} s")
    print(f"  Gridsaw / floor      {g / f:8.2f}")

    if with_peers:
        for name, command in peers(source, os.path.join(work, "peer")).items():
            times = []
            for _ in range(peer_runs):
                fresh_folder(os.path.join(work, "peer"))
                elapsed, rss, status, complaint = timed(command, maps)
                if status != 0:
                    print(f"  {name:14} failed on this size (exit status {status}): {complaint}")
                    break
                times.append(elapsed)
            if times:
                p = statistics.median(times)
                print(f"  {name:14} median {p:8.3f} s   peak RSS {rss:6.1f} MiB   "
                      f"{name} / Gridsaw {p / g:6.1f}   ({peer_runs} runs, 300 x 300 tiles)")
        shutil.rmtree(os.path.join(work, "peer"), ignore_errors=True)
    return g, max(memory)


def compare_saved(work, width, height, runs, kind, name, most, twin=None, twin_name="4-bit plain"):
    """Gridsaw's medians on the map saved as `twin` (make_map's kind; the
    plain way, 4 bits a pixel uncompressed, by default) and as `kind`, and its
    peak memory on the latter."""
    gridsaw = [os.path.join(BUILD, "gridsaw"), "map.map"]
    folders = {}
    for saved in ("twin", kind):
        folders[saved] = os.path.join(work, saved)
        source, columns, rows = make_map(folders[saved], width, height, twin if saved == "twin" else kind)
        assert timed(gridsaw, folders[saved])[2] == 123, "Gridsaw failed"  # the tiles exist
    times = {saved: [] for saved in folders}
    memory = []
    for _ in range(runs):
        for saved, folder in folders.items():
            elapsed, rss, status, _ = timed(gridsaw, folder)
            assert status == 123
            times[saved].append(elapsed)
            if saved == kind:
                memory.append(rss)
    plain, other = (statistics.median(times[saved]) for saved in folders)
    print(f"\n{width:,} x {height:,} map saved as {name}, {columns * rows:,} tiles, "
          f"source {os.path.getsize(source) / 2**20:.0f} MiB, {runs} runs of each, alternating")
    print(f"  Gridsaw, {name:12}  median {other:8.3f} s   peak RSS {max(memory):6.1f} MiB")
    print(f"  Gridsaw, {twin_name:12}  median {plain:8.3f} s")
    print(f"  {name} / {twin_name}{' ' * (24 - len(name) - len(twin_name))}{other / plain:8.2f}"
          f"   (at most {most})")
    for folder in folders.values():
        shutil.rmtree(folder, ignore_errors=True)


def peak_memory(work, width, height, corners):
    """Gridsaw's peak resident memory in MiB on one grid of a generated map."""
    maps = os.path.join(work, "gridsaw")
    make_map(maps, width, height, corners=corners)
    _, rss, status, _ = timed([os.path.join(BUILD, "gridsaw"), "map.map"], maps)
    assert status == 123, "Gridsaw failed"
    return rss


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--disk", action="store_true", help="work on the disk, not on tmpfs")
    parser.add_argument("--runs", type=int, default=5, help="timed runs of Gridsaw and the floor")
    parser.add_argument("--peer-runs", type=int, default=3, help="timed runs of each peer")
    parser.add_argument("--no-peers", action="store_true", help="skip the peer tools")
    args = parser.parse_args()

    build_tools()
    base = BUILD if args.disk or not os.path.isdir("/dev/shm") else "/dev/shm"
    work = tempfile.mkdtemp(prefix="gridsaw-bench-", dir=base)
    try:
        print(f"Gridsaw benchmark in {work} ({'disk' if base == BUILD else 'tmpfs'}), "
              f"{os.cpu_count()} cores, every run on core {CORE}")
        for width, height in SIZES:
            bench_size(work, width, height, args.runs, args.peer_runs, not args.no_peers)
        shutil.rmtree(os.path.join(work, "gridsaw"), ignore_errors=True)
        compare_saved(work, *SIZES[-1], args.runs, "rle4", "RLE4", 2.0)
        compare_saved(work, *WIDE, args.runs, "rle4", "RLE4", 2.0)
        compare_saved(work, *PAIRS, args.runs, "rle4pairs", "RLE4 pairs", 2.5)
        compare_saved(work, *SIZES[-1], args.runs, "8bit", "8 bits", 3)
        compare_saved(work, *SIZES[-1], args.runs, "rle8", "RLE8", 1.5, "8bit", "8 bits")
        # The band holds 300 rows, whatever the height, and never grows past
        # its 32 MiB cap, wherever the grid starts: memory must stay fixed.
        short = peak_memory(work, 24004, 1200, ("0,0", "24000,1200"))
        print(f"\n24,004 x 1,200 map (a twentieth of the height): Gridsaw peak RSS {short:.1f} MiB")
        wide = peak_memory(work, 300004, 900, ("-150,-7", "300000,900"))
        print(f"300,004 x 900 map from -150,-7: Gridsaw peak RSS {wide:.1f} MiB   (under 48)")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
