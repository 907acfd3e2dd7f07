// The shape of a source bitmap's stored pixel rows.
#pragma once

#include <cstdint>

#include "tiling/image_header.h"

struct SourceGeometry {
  std::int64_t width;      // biWidth
  std::int64_t rowPixels;  // stored row length S: biWidth raised to a multiple of 8
  std::int64_t rowCount;   // |biHeight|
  bool topDown;            // negative biHeight: the top image row is stored first

  std::int64_t RowBytes() const { return rowPixels / 2; }
  // Position among the stored rows of image row `row`, counted from the top.
  std::int64_t StoredIndex(std::int64_t row) const { return topDown ? row : rowCount - 1 - row; }
};

SourceGeometry GeometryOf(const ImageHeader& header);

// The stored rows that image rows [firstRow, firstRow + rows) (from the top)
// take up, those outside the image left out: count is 0 when none is stored.
struct StoredRows {
  std::int64_t first = 0, count = 0;
};
StoredRows StoredRowsOf(const SourceGeometry& geometry, std::int64_t firstRow, std::int64_t rows);

// Whether image row `row` (from the top) is stored at all.
inline bool IsStoredRow(const SourceGeometry& geometry, std::int64_t row) {
  return row >= 0 && row < geometry.rowCount;
}

// The bytes of a tile's rows that the source stores, for a tile covering
// source columns [firstColumn, firstColumn + widthPixels), firstColumn even.
// A tile pixel comes from the source when its row is stored and its column
// lies in [0, S), S the stored row length; every other pixel is palette index
// 0. byteCount is 0 when no column of the tile is stored.
struct StoredSpan {
  std::int64_t rowByte = 0;   // where the span starts within a stored row
  std::int64_t tileByte = 0;  // where it lands within the tile row
  std::int64_t byteCount = 0;
};

StoredSpan StoredColumns(const SourceGeometry& geometry, std::int64_t firstColumn,
                         std::int64_t widthPixels);
