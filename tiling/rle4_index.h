// The pass over a whole RLE4 stream before the first tile: it checks that
// the stream reaches its end-of-bitmap code and notes where every few rows
// begin, so that each band can be decoded from the nearest such point. A
// long stream is walked from both its halves at once, on two threads.
#pragma once

#include <cstdint>
#include <vector>

#include "fileio/file.h"
#include "tiling/image_header.h"
#include "tiling/rle4_codes.h"

namespace rle4 {

// Streams at least this long are walked from both halves.
constexpr std::int64_t kSplitStreamBytes = std::int64_t{8} << 20;

struct StreamIndex {
  // In stream order, at most one for each `spacing` rows; the first is the
  // stream's start.
  std::vector<StreamPoint> points;
  // The stored row the end-of-bitmap code ends: no code sets a row above it.
  std::int64_t endRow = 0;

  // The last point at or below stored row `row`.
  const StreamPoint& NearestBelow(std::int64_t row) const;
};

// Walks the stream from `streamOffset`, noting a point each time the stored
// row first reaches a multiple of `spacing` below `rowCount`. kNotSixteenColours
// when the file ends before the end-of-bitmap code; kUnreadable on a read
// error. Streams of `splitFrom` bytes or more are walked from both halves.
SourceCheck IndexStream(InFile& source, std::int64_t streamOffset, std::int64_t rowCount,
                        std::int64_t spacing, std::int64_t splitFrom, StreamIndex& index);

}  // namespace rle4
