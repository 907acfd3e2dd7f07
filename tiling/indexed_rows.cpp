// Rows of 1 or 8 bits a pixel, fetched in the 4-bit layout: each pixel its
// palette index, as the palette map gives it for 8-bit pixels.
#include <algorithm>
#include <cstring>

#include "fileio/block_reader.h"
#include "tiling/pixel_rows.h"

namespace {

class Indexed : public PixelRows {
 public:
  Indexed(const SourceGeometry& geometry, int bits, std::int64_t pixelOffset,
          const ReadSizes& sizes)
      : geometry_(geometry),
        bits_(bits),
        pixelOffset_(pixelOffset),
        storedRowBytes_((geometry.width * bits + 31) / 32 * 4),
        block_(std::max<std::int64_t>(static_cast<std::int64_t>(sizes.readBlock), 4)) {}

  // The file's length tells whether the rows lie in it; 8-bit ones are then
  // read once to find the indices they use.
  SourceCheck Check(InFile& source, const BandPlan&) override {
    // Each read no larger than the piece it is for.
    if (!blocks_.Reserve(static_cast<std::size_t>(block_), true)) return SourceCheck::kNoMemory;
    FileStamp stamp;
    if (!source.Stamp(stamp)) return SourceCheck::kUnreadable;
    if (static_cast<std::uint64_t>(DataEnd()) > stamp.size) return SourceCheck::kNotSixteenColours;
    return bits_ == 8 ? FindIndicesUsed(source) : SourceCheck::kUsable;
  }
  std::int64_t DataEnd() const override {
    return pixelOffset_ + storedRowBytes_ * geometry_.rowCount;
  }

  const bool* ValuesUsed() const override { return bits_ == 8 ? used_ : nullptr; }

  // Each row in pieces of a read block, each read as it is wanted, its
  // pixels past the image's width 0.
  bool Read(InFile& source, std::int64_t firstStored, std::int64_t count, std::int64_t firstByte,
            std::int64_t rowBytes, std::uint8_t* out) override {
    const std::int64_t firstPixel = 2 * firstByte;
    const std::int64_t endPixel = std::min(firstPixel + 2 * rowBytes, geometry_.width);
    // Pixels a piece takes: an even number, and their bytes fit a block.
    const std::int64_t piece = (block_ - 1) * 8 / bits_ / 2 * 2;
    for (std::int64_t i = 0; i < count; ++i) {
      std::uint8_t* const row = out + i * rowBytes;
      std::memset(row, 0, static_cast<std::size_t>(rowBytes));
      const std::int64_t rowOffset = pixelOffset_ + (firstStored + i) * storedRowBytes_;
      for (std::int64_t from = firstPixel; from < endPixel; from += piece) {
        const std::int64_t to = std::min(from + piece, endPixel);
        const std::int64_t firstFileByte = from * bits_ / 8;
        const auto bytes = static_cast<std::size_t>((to * bits_ + 7) / 8 - firstFileByte);
        ByteSpan stored;
        if (!Fetch(source, rowOffset + firstFileByte, bytes, stored)) return false;
        std::uint8_t* const packed = row + (from - firstPixel) / 2;
        if (bits_ == 8) {
          PackBytes(stored.at, to - from, packed);
        } else {
          PackBits(stored.at, from - firstFileByte * 8, to - from, packed);
        }
      }
    }
    return true;
  }

 private:
  // `count` bytes from `offset` on: the file holds them, so fewer is an
  // error, or a file changed.
  bool Fetch(InFile& source, std::int64_t offset, std::size_t count, ByteSpan& bytes) {
    return blocks_.Fetch(source, offset, count, bytes) && bytes.size >= count;
  }

  // Two pixels a byte, the first in the high nibble, from the `stored`
  // pixels: 8-bit ones through their 4-bit index; for 1-bit ones the first
  // is `firstBit` bits into them. A last odd pixel's neighbour is 0.
  void PackBytes(const std::uint8_t* stored, std::int64_t pixels, std::uint8_t* packed) const {
    const std::uint8_t* const index = palette_.fourBit;
    for (std::int64_t p = 0; p + 1 < pixels; p += 2) {
      packed[p / 2] = static_cast<std::uint8_t>(index[stored[p]] << 4 | index[stored[p + 1]]);
    }
    if (pixels % 2 != 0)
      packed[pixels / 2] = static_cast<std::uint8_t>(index[stored[pixels - 1]] << 4);
  }

  static void PackBits(const std::uint8_t* stored, std::int64_t firstBit, std::int64_t pixels,
                       std::uint8_t* packed) {
    auto bit = [stored, firstBit](std::int64_t p) {
      const std::int64_t at = firstBit + p;
      return stored[at / 8] >> (7 - at % 8) & 1;
    };
    for (std::int64_t p = 0; p < pixels; p += 2) {
      packed[p / 2] = static_cast<std::uint8_t>(bit(p) << 4 | (p + 1 < pixels ? bit(p + 1) : 0));
    }
  }

  // One read of the stored rows, in blocks, marks the index of each pixel:
  // a stored row's first biWidth bytes, its padding none.
  SourceCheck FindIndicesUsed(InFile& source) {
    const std::int64_t total = storedRowBytes_ * geometry_.rowCount;
    std::int64_t column = 0;  // in its stored row, of the next byte read
    for (std::int64_t done = 0; done < total;) {
      const std::int64_t count = std::min(block_, total - done);
      ByteSpan stored;
      if (!Fetch(source, pixelOffset_ + done, static_cast<std::size_t>(count), stored)) {
        return SourceCheck::kUnreadable;
      }
      for (std::int64_t at = 0; at < count;) {
        const std::int64_t inRow = std::min(count - at, storedRowBytes_ - column);
        const std::int64_t pixels = std::clamp<std::int64_t>(geometry_.width - column, 0, inRow);
        MarkIndices(stored.at + at, pixels, used_);
        at += inRow;
        column = (column + inRow) % storedRowBytes_;
      }
      done += count;
    }
    return SourceCheck::kUsable;
  }

  // Marks the index of each of `count` pixels. Eight at a time from one
  // word, little-endian on purpose: a byte at a time costs twice as much.
  static void MarkIndices(const std::uint8_t* pixels, std::int64_t count, bool (&used)[256]) {
    std::int64_t i = 0;
    for (; i + 8 <= count; i += 8) {
      std::uint64_t word = 0;
      for (int j = 7; j >= 0; --j) word = word << 8 | pixels[i + j];
      for (int j = 0; j < 8; ++j, word >>= 8) used[word & 0xFF] = true;
    }
    for (; i < count; ++i) used[pixels[i]] = true;
  }

  SourceGeometry geometry_;
  int bits_;
  std::int64_t pixelOffset_;
  std::int64_t storedRowBytes_;  // a row of 1 or 8 bits a pixel, padded to 32 bits
  std::int64_t block_;
  BlockReader blocks_;   // of stored pixels
  bool used_[256] = {};  // the 8-bit values the check found
};

}  // namespace

PixelRowsObject IndexedRows(const SourceGeometry& geometry, int bits, std::int64_t pixelOffset,
                            const ReadSizes& sizes) {
  return PixelRowsObject(NewObject<Indexed>(geometry, bits, pixelOffset, sizes));
}
