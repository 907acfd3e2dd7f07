#!/bin/sh
# Builds Gridsaw three ways (warnings are errors in each) and runs every test:
#   build/           Linux, g++: unit and process tests, the latter also under valgrind
#   build-sanitize/  Linux, clang with AddressSanitizer and UndefinedBehaviorSanitizer:
#                    the same tests, then each fuzz target for a minute
#   build-windows/   Windows, MinGW-w64: unit and process tests under Wine
#   build-windows64/ only where this machine's kernel runs no 32-bit programs,
#                    so Wine cannot run the 32-bit build: the same sources
#                    as a 64-bit Windows build, tested under wine64
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
if wine --version >/dev/null 2>&1; then
  cmake --build build-windows -j "$jobs"
  tests/wine_session.sh ctest --test-dir build-windows --output-on-failure
else
  echo "test.sh: this kernel runs no 32-bit programs, so the Windows tests run on a 64-bit"
  echo "test.sh: build under wine64; the 32-bit build-windows/gridsaw.exe is checked as a file."
  cmake --build build-windows -j "$jobs" --target gridsaw
  cmake -S . -B build-windows64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DGRIDSAW_WERROR=ON -DGRIDSAW_NATIVE="$PWD/build/gridsaw" \
    -DGRIDSAW_SHIPPED_EXE="$PWD/build-windows/gridsaw.exe"
  cmake --build build-windows64 -j "$jobs"
  GRIDSAW_WINE=/usr/lib/wine/wine64 tests/wine_session.sh \
    ctest --test-dir build-windows64 --output-on-failure
fi
