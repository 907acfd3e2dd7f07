#include "tiling/source_geometry.h"

#include <algorithm>

SourceGeometry GeometryOf(const ImageHeader& header) {
  SourceGeometry geometry;
  geometry.width = header.biWidth;
  geometry.rowPixels = (std::int64_t{header.biWidth} + 7) / 8 * 8;
  geometry.rowCount = header.biHeight < 0 ? -std::int64_t{header.biHeight} : header.biHeight;
  geometry.topDown = header.biHeight < 0;
  return geometry;
}

StoredRows StoredRowsOf(const SourceGeometry& geometry, std::int64_t firstRow, std::int64_t rows) {
  const std::int64_t begin = std::max<std::int64_t>(firstRow, 0);
  const std::int64_t end = std::min(firstRow + rows, geometry.rowCount);
  if (begin >= end) return {};
  return {std::min(geometry.StoredIndex(begin), geometry.StoredIndex(end - 1)), end - begin};
}

StoredSpan StoredColumns(const SourceGeometry& geometry, std::int64_t firstColumn,
                         std::int64_t widthPixels) {
  StoredSpan span;
  const std::int64_t begin = std::max<std::int64_t>(firstColumn, 0);
  const std::int64_t end = std::min(firstColumn + widthPixels, geometry.rowPixels);
  if (begin >= end) return span;
  span.rowByte = begin / 2;
  span.tileByte = (begin - firstColumn) / 2;
  span.byteCount = (end - begin) / 2;
  return span;
}
