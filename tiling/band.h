// The stored pixel bytes that one row of tiles needs, read with as few reads
// as a fixed memory cap allows, so that the whole source is read once.
#pragma once

#include <cstdint>

#include "fileio/buffer.h"
#include "fileio/file.h"
#include "tiling/source_image.h"

class Band {
 public:
  // Loads of at most `capacity` bytes.
  explicit Band(std::int64_t capacity) : capacity_(capacity) {}

  // Takes, before the first load, the room that the loads of the bands and
  // column groups of `plan` need, here and in the source's pixel rows: that
  // of the widest. False when memory runs out.
  bool Reserve(const SourceImage& image, const BandPlan& plan);

  // Fetches image rows [firstRow, firstRow + rows) and byte columns
  // [firstByte, endByte) of each, both clipped to the stored image. Whole
  // stored rows are taken when `rows` of them fit the cap and most of each
  // is wanted (uncompressed, they come with one read), so no fetch is wider
  // than the cap's share of a row or the columns asked. A load takes no
  // memory: it fails when it would need more than Reserve took. False when
  // the source cannot be read.
  bool Load(InFile& source, const SourceImage& image, std::int64_t firstRow, std::int64_t rows,
            std::int64_t firstByte, std::int64_t endByte);

  // Stored byte `rowByte` of image row `row`: both must lie in what was loaded.
  const std::uint8_t* At(std::int64_t row, std::int64_t rowByte) const {
    const std::int64_t loadedRow = geometry_.StoredIndex(row) - firstStoredIndex_;
    return bytes_.data() + loadedRow * stride_ + (rowByte - firstByte_);
  }

 private:
  std::int64_t capacity_;
  SourceGeometry geometry_ = {};
  std::int64_t firstStoredIndex_ = 0;
  std::int64_t firstByte_ = 0;
  std::int64_t stride_ = 0;
  Buffer<std::uint8_t> bytes_;
};
