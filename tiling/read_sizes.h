// The sizes that shape how a source is read. Each is a parameter, with the
// program's value as its default, so that tests and fuzzers can set it small
// and small inputs cross every boundary it makes.
#pragma once

#include <cstddef>
#include <cstdint>

struct ReadSizes {
  // One read of an RLE stream, or of 1- and 8-bit pixels. An RLE stream is
  // read in blocks of two longest codes at least (516 bytes).
  std::size_t readBlock = 64 * 1024;
  // The most the band of source rows that a row of tiles needs may hold.
  std::int64_t bandCapacity = std::int64_t{32} << 20;
  // The most band starts an RLE check notes; beyond that every k-th.
  std::size_t notedStarts = std::size_t{1} << 16;
};
