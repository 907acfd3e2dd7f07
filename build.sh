#!/bin/sh
# Installs what Gridsaw needs on Debian 12 (as root), builds it, and cuts the
# bundled example map into tiles.
set -eu
cd "$(dirname "$0")"

if [ "$(id -u)" = 0 ]; then
  # i386 for Wine's 32-bit half: the Windows build is tested under Wine.
  dpkg --add-architecture i386
  # A mirror caught mid-sync fails one index now and then; the others still
  # serve, and a package truly missing fails the install below.
  apt-get update -q || echo "build.sh: apt-get update reported errors; installing from the indexes it got"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    cmake make g++ clang libclang-rt-14-dev valgrind googletest libgtest-dev python3 python3-pil \
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 xvfb xdotool x11-apps imagemagick netpbm \
    dpkg-dev groff-base lintian
  # Without Wine's 32-bit half, test.sh tests a 64-bit build under wine64.
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends wine32:i386 ||
    echo "build.sh: wine32:i386 could not be installed; test.sh will use wine64"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"

cd example
# Gridsaw exits with 123 after success.
../build/gridsaw island.map || [ $? -eq 123 ]
ls -1 "island tile "*.bmp
