#!/bin/sh
# Builds Gridsaw (warnings are errors here) and runs every test.
set -eu
cd "$(dirname "$0")"

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DGRIDSAW_WERROR=ON
cmake --build build -j "$(nproc)"
ctest --test-dir build --output-on-failure
