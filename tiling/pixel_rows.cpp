#include "tiling/pixel_rows.h"

#include <algorithm>

namespace {

class Uncompressed : public PixelRows {
 public:
  Uncompressed(const SourceGeometry& geometry, std::int64_t pixelOffset)
      : storedRowBytes_(geometry.RowBytes()),
        pixelOffset_(pixelOffset),
        endOffset_(pixelOffset + geometry.RowBytes() * geometry.rowCount) {}

  // The file's length tells, with no seek to where the rows would end: a
  // system may refuse one far past any file it can hold.
  SourceCheck Check(InFile& source, const BandPlan&) override {
    FileStamp stamp;
    if (!source.Stamp(stamp)) return SourceCheck::kUnreadable;
    return static_cast<std::uint64_t>(endOffset_) <= stamp.size ? SourceCheck::kUsable
                                                                : SourceCheck::kNotSixteenColours;
  }
  std::int64_t DataEnd() const override { return endOffset_; }

  // Whole stored rows lie back to back in the file: they come with one read.
  bool Read(InFile& source, std::int64_t firstStored, std::int64_t count, std::int64_t firstByte,
            std::int64_t rowBytes, std::uint8_t* out) override {
    const std::int64_t firstOffset = pixelOffset_ + firstStored * storedRowBytes_ + firstByte;
    if (rowBytes == storedRowBytes_) {
      return source.SetPosition(firstOffset) &&
             source.Read(out, static_cast<std::uint32_t>(rowBytes * count));
    }
    for (std::int64_t i = 0; i < count; ++i) {
      if (!source.SetPosition(firstOffset + i * storedRowBytes_) ||
          !source.Read(out + i * rowBytes, static_cast<std::uint32_t>(rowBytes))) {
        return false;
      }
    }
    return true;
  }

 private:
  std::int64_t storedRowBytes_;
  std::int64_t pixelOffset_;
  std::int64_t endOffset_;  // just past the last row
};

}  // namespace

PixelRowsObject UncompressedRows(const SourceGeometry& geometry, std::int64_t pixelOffset) {
  return PixelRowsObject(NewObject<Uncompressed>(geometry, pixelOffset));
}
