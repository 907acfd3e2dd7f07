#!/bin/sh
# Builds Gridsaw three ways (warnings are errors in each) and runs every test:
#   build/           Linux, g++: unit and process tests, the latter also under valgrind
#   build-sanitize/  Linux, clang with AddressSanitizer and UndefinedBehaviorSanitizer:
#                    the same tests, then each fuzz target for a minute
#   build-windows/   the Windows program that ships, MinGW-w64 (win32 thread model),
#                    and its zip; build-windows-tests/ (posix thread model, for
#                    GoogleTest): unit tests, and process tests of the shipped
#                    program, under Wine
#   build-windows64/ only where Wine cannot run the 32-bit build (its 32-bit half
#                    is missing, or this kernel runs no 32-bit programs): the same sources
#                    as a 64-bit Windows build, tested under wine64; the
#                    shipped program is then checked as a file
# and then the release: packages, install, man page (tests/release/).
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
  -DCMAKE_BUILD_TYPE=Release -DGRIDSAW_WERROR=ON -DBUILD_TESTING=OFF
cmake --build build-windows -j "$jobs" --target package
shipped="$PWD/build-windows/gridsaw.exe"
if /usr/lib/wine/wine --version >/dev/null 2>&1; then  # Wine's 32-bit half runs here
  cmake -S . -B build-windows-tests -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
    -DGRIDSAW_MINGW_THREADS=posix -DCMAKE_BUILD_TYPE=Release -DGRIDSAW_WERROR=ON \
    -DGRIDSAW_NATIVE="$PWD/build/gridsaw" -DGRIDSAW_SHIPPED_EXE="$shipped" \
    -DGRIDSAW_PROCESS_EXE="$shipped"
  cmake --build build-windows-tests -j "$jobs"
  tests/wine_session.sh ctest --test-dir build-windows-tests --output-on-failure
else
  echo "test.sh: Wine cannot run 32-bit programs here (wine32 missing, or a kernel without"
  echo "test.sh: 32-bit support), so the Windows tests run on a 64-bit"
  echo "test.sh: build under wine64; the shipped 32-bit build-windows/gridsaw.exe is checked as a file."
  cmake -S . -B build-windows64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DGRIDSAW_WERROR=ON -DGRIDSAW_NATIVE="$PWD/build/gridsaw" \
    -DGRIDSAW_SHIPPED_EXE="$shipped"
  cmake --build build-windows64 -j "$jobs"
  GRIDSAW_WINE=/usr/lib/wine/wine64 tests/wine_session.sh \
    ctest --test-dir build-windows64 --output-on-failure
fi

cmake --build build -j "$jobs" --target package
/usr/bin/python3 -m unittest -v tests/release/test_release.py
