#include "tiling/band.h"

#include <algorithm>

bool Band::Load(InFile& source, const SourceGeometry& geometry, std::int64_t firstRow,
                std::int64_t rows, std::int64_t firstByte, std::int64_t endByte) {
  geometry_ = geometry;
  const std::int64_t rowBegin = std::max<std::int64_t>(firstRow, 0);
  const std::int64_t rowEnd = std::min(firstRow + rows, geometry.rowCount);
  const std::int64_t byteBegin = std::max<std::int64_t>(firstByte, 0);
  const std::int64_t byteEnd = std::min(endByte, geometry.RowBytes());
  if (rowBegin >= rowEnd || byteBegin >= byteEnd) return true;  // nothing stored there

  const std::int64_t count = rowEnd - rowBegin;
  firstStoredIndex_ = std::min(geometry.StoredIndex(rowBegin), geometry.StoredIndex(rowEnd - 1));
  const bool wholeRows =
      geometry.RowBytes() * count <= capacity_ && 2 * (byteEnd - byteBegin) >= geometry.RowBytes();
  firstByte_ = wholeRows ? 0 : byteBegin;
  stride_ = wholeRows ? geometry.RowBytes() : byteEnd - byteBegin;
  if (bytes_.size() < static_cast<std::size_t>(stride_ * count)) bytes_.resize(stride_ * count);

  const std::int64_t firstOffset = geometry.pixelOffset + firstStoredIndex_ * geometry.RowBytes();
  if (wholeRows) {
    return source.SetPosition(static_cast<std::int32_t>(firstOffset)) &&
           source.Read(bytes_.data(), static_cast<std::uint32_t>(stride_ * count));
  }
  for (std::int64_t i = 0; i < count; ++i) {
    const std::int64_t offset = firstOffset + i * geometry.RowBytes() + byteBegin;
    if (!source.SetPosition(static_cast<std::int32_t>(offset)) ||
        !source.Read(bytes_.data() + i * stride_, static_cast<std::uint32_t>(stride_))) {
      return false;
    }
  }
  return true;
}

std::int64_t Band::TilesPerLoad(std::int64_t rows, std::int64_t tileRowBytes,
                                std::int64_t stepBytes) const {
  const std::int64_t bytesPerRow = capacity_ / rows;
  if (bytesPerRow <= tileRowBytes) return 1;
  return (bytesPerRow - tileRowBytes) / stepBytes + 1;
}
