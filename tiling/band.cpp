#include "tiling/band.h"

#include <algorithm>

namespace {

// What a load of image rows [firstRow, firstRow + rows) and byte columns
// [firstByte, endByte) takes, both clipped to the stored image: its stored
// rows, and the byte columns it holds of each. Whole stored rows are worth
// taking, with one read, when at least half of each is wanted and `rows` of
// them fit the cap.
struct LoadShape {
  StoredRows stored;
  std::int64_t firstByte = 0, stride = 0;
};

LoadShape ShapeOf(const SourceGeometry& geometry, std::int64_t capacity, std::int64_t firstRow,
                  std::int64_t rows, std::int64_t firstByte, std::int64_t endByte) {
  const StoredRows stored = StoredRowsOf(geometry, firstRow, rows);
  const std::int64_t begin = std::max<std::int64_t>(firstByte, 0);
  const std::int64_t end = std::min(endByte, geometry.RowBytes());
  if (stored.count == 0 || begin >= end) return {};  // nothing stored there
  const bool whole =
      2 * (end - begin) >= geometry.RowBytes() && geometry.RowBytes() * rows <= capacity;
  return whole ? LoadShape{stored, 0, geometry.RowBytes()} : LoadShape{stored, begin, end - begin};
}

}  // namespace

bool Band::Load(InFile& source, const SourceImage& image, std::int64_t firstRow, std::int64_t rows,
                std::int64_t firstByte, std::int64_t endByte) {
  geometry_ = image.geometry;
  const LoadShape load = ShapeOf(geometry_, capacity_, firstRow, rows, firstByte, endByte);
  if (load.stored.count == 0) return true;
  firstStoredIndex_ = load.stored.first;
  firstByte_ = load.firstByte;
  stride_ = load.stride;
  if (static_cast<std::size_t>(load.stored.count * stride_) > bytes_.capacity()) return false;
  return image.rows->Read(source, firstStoredIndex_, load.stored.count, firstByte_, stride_,
                          bytes_.data());
}

// Every load of the plan holds the rows of one band at most, as many as a
// band of the image's own holds, and the byte columns of one group.
bool Band::Reserve(const SourceImage& image, const BandPlan& plan) {
  std::int64_t count = 0, stride = 0;
  for (std::int64_t index = 0; index < plan.GroupCount(); ++index) {
    const ColumnGroup group = plan.Group(index);
    const LoadShape load =
        ShapeOf(image.geometry, capacity_, 0, plan.rows, group.firstByte, group.endByte);
    count = std::max(count, load.stored.count);
    stride = std::max(stride, load.stride);
  }
  return bytes_.Reserve(static_cast<std::size_t>(count * stride)) &&
         image.rows->Reserve(count, stride);
}
