#!/usr/bin/env python3
"""Fails when a file of a lower layer includes a header of a higher one:
fileio/ is below tiling/, which is below app/."""

import os
import re
import sys

LAYERS = ["fileio", "tiling", "app"]
INCLUDE = re.compile(r'^\s*#\s*include\s*"(\w+)/', re.MULTILINE)


def upward_includes(root):
    for rank, layer in enumerate(LAYERS):
        folder = os.path.join(root, layer)
        for name in sorted(os.listdir(folder)):
            if not name.endswith((".h", ".cpp")):
                continue
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                for included in INCLUDE.findall(f.read()):
                    if included in LAYERS and LAYERS.index(included) > rank:
                        yield f"{layer}/{name} includes a header of {included}/"


def main():
    found = list(upward_includes(sys.argv[1]))
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
