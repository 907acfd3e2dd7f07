#include "tiling/source_geometry.h"

SourceGeometry GeometryOf(const ImageHeader& header) {
  SourceGeometry geometry;
  geometry.pixelOffset = header.bfOffBits;
  geometry.rowPixels = (std::int64_t{header.biWidth} + 7) / 8 * 8;
  geometry.rowCount = header.biHeight < 0 ? -std::int64_t{header.biHeight} : header.biHeight;
  geometry.topDown = header.biHeight < 0;
  return geometry;
}

StoredSpan SpanInSource(const SourceGeometry& geometry, std::int64_t row, std::int64_t firstColumn,
                        std::int64_t widthPixels) {
  StoredSpan span;
  if (row < 0 || row >= geometry.rowCount) return span;
  const std::int64_t begin = firstColumn > 0 ? firstColumn : 0;
  const std::int64_t end = firstColumn + widthPixels < geometry.rowPixels
                               ? firstColumn + widthPixels
                               : geometry.rowPixels;
  if (begin >= end) return span;
  span.sourceOffset = geometry.StoredRowOffset(row) + begin / 2;
  span.tileByte = (begin - firstColumn) / 2;
  span.byteCount = (end - begin) / 2;
  return span;
}
