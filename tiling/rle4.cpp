#include "tiling/rle4.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Rows between two noted points of the stream: a band decodes at most this
// many rows before its own. Beyond kMaxCheckpoints points (images taller than
// two million rows) they are spaced wider, so that memory stays fixed.
constexpr std::int64_t kCheckpointRows = 32;
constexpr std::int64_t kMaxCheckpoints = 1 << 16;
constexpr std::size_t kStreamBlock = 64 * 1024;

// The stream, read in large blocks; each code is looked at in place.
class ByteStream {
 public:
  void Start(InFile& file, std::int64_t offset) {
    file_ = &file;
    bufferOffset_ = offset;
    begin_ = end_ = 0;
    positioned_ = failed_ = false;
  }
  // True when `count` bytes (a code: at most 2 + 128) are at Data(); false
  // at the end of the file or on an I/O error, which failed() then tells.
  bool Have(std::size_t count) { return end_ - begin_ >= count || Refill(count); }
  const std::uint8_t* Data() const { return buffer_.data() + begin_; }
  void Skip(std::size_t count) { begin_ += count; }
  std::int64_t Offset() const { return bufferOffset_ + static_cast<std::int64_t>(begin_); }
  bool failed() const { return failed_; }

 private:
  bool Refill(std::size_t count) {
    if (failed_) return false;
    const std::size_t kept = end_ - begin_;
    std::memmove(buffer_.data(), buffer_.data() + begin_, kept);
    bufferOffset_ += static_cast<std::int64_t>(begin_);
    begin_ = 0;
    end_ = kept;
    if (!positioned_ && !file_->SetPosition(bufferOffset_ + static_cast<std::int64_t>(end_))) {
      failed_ = true;
      return false;
    }
    positioned_ = true;
    while (end_ < count) {
      std::uint32_t got = 0;
      if (!file_->ReadUpTo(buffer_.data() + end_, static_cast<std::uint32_t>(kStreamBlock - end_),
                           got)) {
        failed_ = true;
        return false;
      }
      if (got == 0) return false;
      end_ += got;
    }
    return true;
  }

  InFile* file_ = nullptr;
  std::vector<std::uint8_t> buffer_ = std::vector<std::uint8_t>(kStreamBlock);
  std::int64_t bufferOffset_ = 0;  // file offset of buffer_[0]
  std::size_t begin_ = 0, end_ = 0;
  bool positioned_ = false, failed_ = false;
};

// Where the decoder stands between two codes.
struct StreamPoint {
  std::int64_t offset;  // of the next code in the file
  std::int64_t row;     // stored row: 0 is the bottom one, the first in the file
  std::int64_t x;       // pixel column
};

enum class Decoded { kReachedRow, kEndOfBitmap, kCutShort, kUnreadable };

// Decodes codes from `at` until the stored row reaches `endRow` or the
// bitmap ends, handing each run of pixels to `sink`.
template <class Sink>
Decoded Decode(ByteStream& in, StreamPoint& at, std::int64_t endRow, Sink& sink) {
  Decoded result = Decoded::kReachedRow;
  while (at.row < endRow) {
    if (!in.Have(2)) {
      result = in.failed() ? Decoded::kUnreadable : Decoded::kCutShort;
      break;
    }
    const int count = in.Data()[0], second = in.Data()[1];
    if (count > 0) {  // an encoded run: `count` pixels alternating between two
      sink.Encoded(at.row, at.x, count, second);
      at.x += count;
      in.Skip(2);
      continue;
    }
    if (second == 0) {  // end of line
      ++at.row;
      at.x = 0;
      in.Skip(2);
    } else if (second == 1) {  // end of bitmap
      in.Skip(2);
      result = Decoded::kEndOfBitmap;
      break;
    } else if (second == 2) {  // delta: right and up
      if (!in.Have(4)) {
        result = in.failed() ? Decoded::kUnreadable : Decoded::kCutShort;
        break;
      }
      at.x += in.Data()[2];
      at.row += in.Data()[3];
      in.Skip(4);
    } else {  // an absolute run of `second` pixels, padded to 16 bits
      const std::size_t bytes = ((second + 1) / 2 + 1) & ~1;
      if (!in.Have(2 + bytes)) {
        result = in.failed() ? Decoded::kUnreadable : Decoded::kCutShort;
        break;
      }
      sink.Absolute(at.row, at.x, second, in.Data() + 2);
      at.x += second;
      in.Skip(2 + bytes);
    }
  }
  at.offset = in.Offset();
  return result;
}

struct NoPixels {
  void Encoded(std::int64_t, std::int64_t, int, int) {}
  void Absolute(std::int64_t, std::int64_t, int, const std::uint8_t*) {}
};

// Pixel `at` of a row of nibbles, two a byte, the first in the high half.
void SetPixel(std::uint8_t* row, std::int64_t at, int value) {
  std::uint8_t& byte = row[at >> 1];
  byte = static_cast<std::uint8_t>(at & 1 ? (byte & 0xF0) | value : (byte & 0x0F) | value << 4);
}

int NibbleOf(const std::uint8_t* pixels, std::int64_t at) {
  return at & 1 ? pixels[at >> 1] & 15 : pixels[at >> 1] >> 4;
}

// Writes decoded runs into rows of the layout PixelRows promises: stored rows
// [firstRow, endRow), pixels [firstPixel, endPixel) of each; pixels outside
// are dropped, also those past the image's width.
class BandPixels {
 public:
  BandPixels(std::int64_t firstRow, std::int64_t endRow, std::int64_t firstByte,
             std::int64_t rowBytes, std::int64_t width, std::uint8_t* out)
      : firstRow_(firstRow),
        endRow_(endRow),
        firstPixel_(2 * firstByte),
        endPixel_(std::min(2 * (firstByte + rowBytes), width)),
        rowBytes_(rowBytes),
        out_(out) {}

  void Encoded(std::int64_t row, std::int64_t x, int count, int pair) {
    std::int64_t from, to;
    if (!Clip(row, x, count, from, to)) return;
    std::uint8_t* target = out_ + (row - firstRow_) * rowBytes_;
    int first = (from - x) & 1 ? pair & 15 : pair >> 4;
    int second = (from - x) & 1 ? pair >> 4 : pair & 15;
    std::int64_t at = from - firstPixel_;
    const std::int64_t end = to - firstPixel_;
    if (at & 1) {
      SetPixel(target, at++, first);
      std::swap(first, second);
    }
    const std::uint8_t both = static_cast<std::uint8_t>(first << 4 | second);
    for (; at + 1 < end; at += 2) target[at >> 1] = both;
    if (at < end) SetPixel(target, at, first);
  }

  void Absolute(std::int64_t row, std::int64_t x, int count, const std::uint8_t* pixels) {
    std::int64_t from, to;
    if (!Clip(row, x, count, from, to)) return;
    std::uint8_t* target = out_ + (row - firstRow_) * rowBytes_;
    std::int64_t at = from - firstPixel_, source = from - x;
    const std::int64_t end = to - firstPixel_;
    if (((at ^ source) & 1) == 0) {  // nibbles line up: whole bytes copy
      if (at & 1) SetPixel(target, at++, NibbleOf(pixels, source++));
      const std::int64_t bytes = (end - at) / 2;
      std::memcpy(target + (at >> 1), pixels + (source >> 1), bytes);
      at += 2 * bytes;
      source += 2 * bytes;
    }
    for (; at < end; ++at, ++source) SetPixel(target, at, NibbleOf(pixels, source));
  }

 private:
  bool Clip(std::int64_t row, std::int64_t x, int count, std::int64_t& from,
            std::int64_t& to) const {
    if (row < firstRow_ || row >= endRow_) return false;
    from = std::max(x, firstPixel_);
    to = std::min(x + count, endPixel_);
    return from < to;
  }

  std::int64_t firstRow_, endRow_, firstPixel_, endPixel_, rowBytes_;
  std::uint8_t* out_;
};

SourceCheck CheckOf(Decoded decoded) {
  switch (decoded) {
    case Decoded::kReachedRow:
    case Decoded::kEndOfBitmap:
      return SourceCheck::kUsable;
    case Decoded::kCutShort:
      return SourceCheck::kNotSixteenColours;
    case Decoded::kUnreadable:
      break;
  }
  return SourceCheck::kUnreadable;
}

class Rle4Rows : public PixelRows {
 public:
  Rle4Rows(const SourceGeometry& geometry, std::int64_t streamOffset)
      : width_(geometry.width),
        rowCount_(geometry.rowCount),
        spacing_(std::max(kCheckpointRows, (geometry.rowCount + kMaxCheckpoints - 1) /
                                               kMaxCheckpoints)),
        streamOffset_(streamOffset) {}

  // The whole stream once: it must reach its end-of-bitmap code. The point
  // where each run of `spacing_` rows begins is noted on the way, up to that
  // code; the rows after it are all index 0.
  SourceCheck Index(InFile& source) {
    StreamPoint at = {streamOffset_, 0, 0};
    stream_.Start(source, at.offset);
    NoPixels none;
    for (std::int64_t row = 0; row < rowCount_; row += spacing_) {
      const Decoded decoded = Decode(stream_, at, row, none);
      if (decoded != Decoded::kReachedRow) return CheckOf(decoded);
      checkpoints_.push_back(at);
    }
    const Decoded last = Decode(stream_, at, INT64_MAX, none);
    return last == Decoded::kEndOfBitmap ? SourceCheck::kUsable : CheckOf(last);
  }

  bool Read(InFile& source, std::int64_t firstStored, std::int64_t count, std::int64_t firstByte,
            std::int64_t rowBytes, std::uint8_t* out) override {
    std::memset(out, 0, static_cast<std::size_t>(count * rowBytes));  // what no code sets
    const std::size_t nearest = static_cast<std::size_t>(firstStored / spacing_);
    if (nearest >= checkpoints_.size()) return true;  // past the end of the bitmap
    StreamPoint at = checkpoints_[nearest];
    stream_.Start(source, at.offset);
    BandPixels band(firstStored, firstStored + count, firstByte, rowBytes, width_, out);
    return CheckOf(Decode(stream_, at, firstStored + count, band)) == SourceCheck::kUsable;
  }

 private:
  std::int64_t width_, rowCount_, spacing_, streamOffset_;
  std::vector<StreamPoint> checkpoints_;
  ByteStream stream_;
};

}  // namespace

SourceCheck IndexRle4Rows(InFile& source, const SourceGeometry& geometry,
                          std::int64_t streamOffset, std::unique_ptr<PixelRows>& rows) {
  auto rle4 = std::make_unique<Rle4Rows>(geometry, streamOffset);
  const SourceCheck check = rle4->Index(source);
  rows = std::move(rle4);
  return check;
}
