#!/bin/sh
# Builds Gridsaw for Linux and for Windows (warnings are errors here) and runs
# every test: the Linux ones natively, the Windows ones under Wine.
set -eu
cd "$(dirname "$0")"
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DGRIDSAW_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release -DGRIDSAW_WERROR=ON -DGRIDSAW_NATIVE="$PWD/build/gridsaw"
cmake --build build-windows -j "$jobs"
tests/wine_session.sh ctest --test-dir build-windows --output-on-failure
