#!/bin/sh
# Builds Gridsaw three ways (warnings are errors in each) and runs every test:
#   build/           Linux, g++: unit and process tests, the latter also under valgrind
#   build-sanitize/  Linux, clang with AddressSanitizer and UndefinedBehaviorSanitizer:
#                    the same tests, then each fuzz target for a minute
#   build-windows/   Windows, MinGW-w64: unit and process tests under Wine
set -eu
cd "$(dirname "$0")"
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DGRIDSAW_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

CC=clang CXX=clang++ cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGRIDSAW_WERROR=ON -DGRIDSAW_SANITIZE=ON -DGRIDSAW_FUZZ=ON
cmake --build build-sanitize -j "$jobs"
ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release -DGRIDSAW_WERROR=ON -DGRIDSAW_NATIVE="$PWD/build/gridsaw"
cmake --build build-windows -j "$jobs"
tests/wine_session.sh ctest --test-dir build-windows --output-on-failure
