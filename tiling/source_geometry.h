// Where a source bitmap's pixels lie in its file.
#pragma once

#include <cstdint>

#include "tiling/image_header.h"

struct SourceGeometry {
  std::int64_t pixelOffset;  // bfOffBits
  std::int64_t rowPixels;    // stored row length S: biWidth raised to a multiple of 8
  std::int64_t rowCount;     // |biHeight|
  bool topDown;              // negative biHeight: the top image row is stored first

  std::int64_t RowBytes() const { return rowPixels / 2; }
  std::int64_t PixelBytes() const { return RowBytes() * rowCount; }
  // File offset of the image row `row`, counted from the top (0 <= row < rowCount).
  std::int64_t StoredRowOffset(std::int64_t row) const {
    const std::int64_t storedIndex = topDown ? row : rowCount - 1 - row;
    return pixelOffset + storedIndex * RowBytes();
  }
};

SourceGeometry GeometryOf(const ImageHeader& header);

// The bytes of one tile row that the source stores: image row `row` (from the
// top), source columns [firstColumn, firstColumn + widthPixels), firstColumn
// even. Every other pixel of the tile row is palette index 0: rows above or
// below the image, columns left of 0 and columns at or past the stored row
// length. byteCount is 0 when the whole tile row lies outside.
struct StoredSpan {
  std::int64_t sourceOffset = 0;
  std::int64_t tileByte = 0;  // where the span starts within the tile row
  std::int64_t byteCount = 0;
};

StoredSpan SpanInSource(const SourceGeometry& geometry, std::int64_t row, std::int64_t firstColumn,
                        std::int64_t widthPixels);
