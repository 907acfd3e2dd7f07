#include "tiling/rle4.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "tiling/nibbles.h"
#include "tiling/rle4_codes.h"
#include "tiling/rle4_index.h"

namespace {

using namespace rle4;

// Rows between two noted points of the stream: a band decodes about this
// many rows before its own (more where the check from both halves met, or
// in a stretch that ends no line). Beyond kMaxCheckpoints points (images
// taller than two million rows) they are spaced wider, so that memory stays
// fixed.
constexpr std::int64_t kCheckpointRows = 32;
constexpr std::int64_t kMaxCheckpoints = 1 << 16;
// The widest stretch of a row gathered at once, in bytes of the result.
constexpr std::int64_t kChunkBytes = 256 * 1024;

// Patterns of two alternating colours, one pixel a byte, for each code byte.
// The first two bytes of each are also the byte's two pixels.
struct RunPatterns {
  std::uint8_t of[256][16];
  RunPatterns() {
    for (int pair = 0; pair < 256; ++pair) {
      for (int i = 0; i < 16; ++i)
        of[pair][i] = static_cast<std::uint8_t>(i % 2 ? pair & 15 : pair >> 4);
    }
  }
};

// Writes decoded runs into rows in the layout PixelRows promises: stored
// rows [firstRow, endRow), bytes [firstByte, firstByte + rowBytes) of each,
// rows `stride` apart; pixels outside are dropped, also those past the
// image's width, and pixels no code sets are 0. A row is gathered one pixel
// a byte, so that a run is a few plain stores whatever its parity, and
// packed into nibbles when it ends.
class BandPixels {
 public:
  BandPixels(std::int64_t firstRow, std::int64_t endRow, std::int64_t firstByte,
             std::int64_t rowBytes, std::int64_t stride, std::int64_t width, std::uint8_t* out,
             std::vector<std::uint8_t>& row)
      : firstRow_(firstRow),
        endRow_(endRow),
        firstPixel_(2 * firstByte),
        pixels_(std::max<std::int64_t>(0, std::min(2 * rowBytes, width - 2 * firstByte))),
        rowBytes_(rowBytes),
        stride_(stride),
        out_(out),
        row_(nullptr) {
    // Room for a whole run's stores past the last pixel.
    row.resize(static_cast<std::size_t>(2 * rowBytes + 256));
    row_ = row.data();
    zeroedTo_ = firstRow;
  }

  void EndOfLine(std::int64_t row) { StartRow(row); }
  void StartRow(std::int64_t row) {
    PackRow();
    ZeroRowsBefore(std::min(row, endRow_));
    if (row < firstRow_ || row >= endRow_) return;
    target_ = out_ + (row - firstRow_) * stride_;
    filled_ = 0;
  }

  // Ends the band: the rows no code reached are index 0.
  void Finish() {
    PackRow();
    ZeroRowsBefore(endRow_);
  }

  // See SkipRuns. Runs that follow on from the pixels gathered so far are
  // stored with no further checks until one reaches past the image's width;
  // a run that starts left of the gathered columns is left to Encoded or
  // Absolute, one at a time.
  const std::uint8_t* Runs(const std::uint8_t* code, const std::uint8_t* limit, std::int64_t& x) {
    const std::int64_t at = x - firstPixel_;
    if (target_ == nullptr || at >= pixels_) return SkipRuns(code, limit, x);
    if (at < filled_) return code;
    std::uint8_t* const row = row_;
    std::memset(row + filled_, 0, static_cast<std::size_t>(at - filled_));
    std::uint8_t* const start = row + at;
    std::uint8_t* const stop = row + pixels_;
    std::uint8_t* pixel = start;
    while (code < limit && pixel < stop) {
      if (FourRuns(FourCodes(code) & kCounts, 16)) {
        for (int i = 0; i < 8; i += 2) {
          std::memcpy(pixel, kPatterns.of[code[i + 1]], 16);
          pixel += code[i];
        }
        code += 8;
        continue;
      }
      const int count = code[0], second = code[1];
      if (count > 0) {
        std::memcpy(pixel, kPatterns.of[second], 16);  // most runs are this short
        for (int i = 16; i < count; i += 16) std::memcpy(pixel + i, kPatterns.of[second], 16);
        pixel += count;
        code += 2;
      } else if (second >= 3) {
        const std::uint8_t* const pairs = code + 2;
        for (int i = 0; i < second; i += 2) std::memcpy(pixel + i, kPatterns.of[pairs[i / 2]], 2);
        pixel += second;
        code += 2 + AbsoluteBytes(second);
      } else {
        break;
      }
    }
    x += pixel - start;
    filled_ = std::min<std::int64_t>(pixel - row, pixels_);
    return code;
  }

  void Encoded(std::int64_t x, int count, int pair) {
    if (target_ == nullptr) return;
    const std::int64_t at = x - firstPixel_;
    if (at < filled_ || at + count > pixels_) return Clipped(x, count, pair, nullptr);
    std::uint8_t* pixels = row_;
    std::memset(pixels + filled_, 0, static_cast<std::size_t>(at - filled_));
    std::memcpy(pixels + at, kPatterns.of[pair], 16);
    for (int i = 16; i < count; i += 16) std::memcpy(pixels + at + i, kPatterns.of[pair], 16);
    filled_ = at + count;
  }

  void Absolute(std::int64_t x, int count, const std::uint8_t* pairs) {
    if (target_ == nullptr) return;
    const std::int64_t at = x - firstPixel_;
    if (at < filled_ || at + count > pixels_) return Clipped(x, count, 0, pairs);
    std::uint8_t* pixels = row_;
    std::memset(pixels + filled_, 0, static_cast<std::size_t>(at - filled_));
    for (int i = 0; i < count; i += 2) std::memcpy(pixels + at + i, kPatterns.of[pairs[i / 2]], 2);
    filled_ = at + count;
  }

 private:
  // A run that reaches outside the gathered pixels: only its pixels inside
  // them, and not yet set, are stored.
  void Clipped(std::int64_t x, int count, int pair, const std::uint8_t* pairs) {
    const std::int64_t at = x - firstPixel_;
    const std::int64_t from = std::max<std::int64_t>(0, filled_ - at);
    const std::int64_t to = std::min<std::int64_t>(count, pixels_ - at);
    if (from >= to) return;
    std::uint8_t* pixels = row_;
    std::memset(pixels + filled_, 0, static_cast<std::size_t>(at + from - filled_));
    for (std::int64_t i = from; i < to; ++i) {
      const int both = pairs != nullptr ? pairs[i / 2] : pair;
      pixels[at + i] = static_cast<std::uint8_t>(i % 2 ? both & 15 : both >> 4);
    }
    filled_ = at + to;
  }

  // Packs the row being gathered into its nibbles.
  void PackRow() {
    if (target_ == nullptr) return;
    std::uint8_t* pixels = row_;
    std::memset(pixels + filled_, 0, static_cast<std::size_t>(2 * rowBytes_ - filled_));
    PackNibbles(pixels, target_, rowBytes_);
    target_ = nullptr;
    ++zeroedTo_;
  }

  void ZeroRowsBefore(std::int64_t row) {
    for (; zeroedTo_ < row; ++zeroedTo_) {
      std::memset(out_ + (zeroedTo_ - firstRow_) * stride_, 0, static_cast<std::size_t>(rowBytes_));
    }
  }

  static const RunPatterns kPatterns;
  std::int64_t firstRow_, endRow_, firstPixel_;
  std::int64_t pixels_;  // the gathered pixels that lie inside the image's width
  std::int64_t rowBytes_, stride_;
  std::uint8_t* out_;
  std::uint8_t* row_;               // the row being gathered, one pixel a byte
  std::uint8_t* target_ = nullptr;  // the row being gathered, when it is one of the band's
  std::int64_t filled_ = 0;         // pixels of it set so far
  std::int64_t zeroedTo_ = 0;       // rows before this one are packed or zeroed
};

const RunPatterns BandPixels::kPatterns;

class Rle4Rows : public PixelRows {
 public:
  Rle4Rows(const SourceGeometry& geometry, std::int64_t streamOffset)
      : width_(geometry.width),
        rowCount_(geometry.rowCount),
        spacing_(
            std::max(kCheckpointRows, (geometry.rowCount + kMaxCheckpoints - 1) / kMaxCheckpoints)),
        streamOffset_(streamOffset) {}

  SourceCheck Index(InFile& source, std::int64_t splitFrom) {
    return IndexStream(source, streamOffset_, rowCount_, spacing_, splitFrom, index_);
  }

  // Wide rows are gathered a chunk of columns at a time, each decoded from
  // the same noted point, so that the gathering row stays small.
  bool Read(InFile& source, std::int64_t firstStored, std::int64_t count, std::int64_t firstByte,
            std::int64_t rowBytes, std::uint8_t* out) override {
    if (firstStored > index_.endRow) {  // past the end of the bitmap
      std::memset(out, 0, static_cast<std::size_t>(count * rowBytes));
      return true;
    }
    const StreamPoint& nearest = index_.NearestBelow(firstStored);
    for (std::int64_t chunk = 0; chunk < rowBytes; chunk += kChunkBytes) {
      StreamPoint at = nearest;
      stream_.Start(source, at.offset);
      BandPixels band(firstStored, firstStored + count, firstByte + chunk,
                      std::min(kChunkBytes, rowBytes - chunk), rowBytes, width_, out + chunk,
                      gathered_);
      const Decoded decoded = Decode(stream_, at, firstStored + count, band);
      if (decoded != Decoded::kReachedRow && decoded != Decoded::kEndOfBitmap) return false;
    }
    return true;
  }

 private:
  std::int64_t width_, rowCount_, spacing_, streamOffset_;
  StreamIndex index_;
  ByteStream stream_;
  std::vector<std::uint8_t> gathered_;
};

}  // namespace

SourceCheck IndexRle4Rows(InFile& source, const SourceGeometry& geometry, std::int64_t streamOffset,
                          std::unique_ptr<PixelRows>& rows, std::int64_t splitFrom) {
  auto rle4 = std::make_unique<Rle4Rows>(geometry, streamOffset);
  const SourceCheck check = rle4->Index(source, splitFrom);
  rows = std::move(rle4);
  return check;
}
