#include "tiling/band.h"

#include <algorithm>

namespace {

// Whole stored rows are worth taking, with one read, when at least half of
// each is wanted and `rows` of them fit the cap.
bool WholeRows(const SourceGeometry& geometry, std::int64_t rows, std::int64_t bytes,
               std::int64_t capacity) {
  return 2 * bytes >= geometry.RowBytes() && geometry.RowBytes() * rows <= capacity;
}

}  // namespace

bool Band::Load(InFile& source, const SourceImage& image, std::int64_t firstRow, std::int64_t rows,
                std::int64_t firstByte, std::int64_t endByte) {
  const SourceGeometry& geometry = image.geometry;
  geometry_ = geometry;
  const StoredRows stored = StoredRowsOf(geometry, firstRow, rows);
  const std::int64_t byteBegin = std::max<std::int64_t>(firstByte, 0);
  const std::int64_t byteEnd = std::min(endByte, geometry.RowBytes());
  if (stored.count == 0 || byteBegin >= byteEnd) return true;  // nothing stored there

  const std::int64_t count = stored.count;
  firstStoredIndex_ = stored.first;
  const bool wholeRows = WholeRows(geometry, rows, byteEnd - byteBegin, capacity_);
  firstByte_ = wholeRows ? 0 : byteBegin;
  stride_ = wholeRows ? geometry.RowBytes() : byteEnd - byteBegin;
  // Reserve has made room.
  return bytes_.Reserve(static_cast<std::size_t>(stride_ * count)) &&
         image.rows->Read(source, firstStoredIndex_, count, firstByte_, stride_, bytes_.data());
}

// Every load takes at most `rows` rows, and byte columns at most as wide as
// asked here; whole rows only as Load takes them.
bool Band::Reserve(const SourceImage& image, std::int64_t rows, std::int64_t firstByte,
                   std::int64_t endByte) {
  const SourceGeometry& geometry = image.geometry;
  const std::int64_t count = std::min(rows, geometry.rowCount);
  const std::int64_t span = std::min(endByte - firstByte, geometry.RowBytes());
  const std::int64_t stride =
      WholeRows(geometry, rows, span, capacity_) ? geometry.RowBytes() : span;
  return bytes_.Reserve(static_cast<std::size_t>(count * stride)) &&
         image.rows->Reserve(count, stride);
}
