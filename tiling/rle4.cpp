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
// The widest stretch of a row gathered at once, in bytes of the result.
constexpr std::int64_t kChunkBytes = 256 * 1024;

// The longest code: an absolute run of 255 pixels, 128 bytes after its 2.
constexpr std::size_t kLongestCode = 2 + 128;

// The stream, read in large blocks; codes are looked at in place.
class ByteStream {
 public:
  void Start(InFile& file, std::int64_t offset) {
    file_ = &file;
    bufferOffset_ = offset;
    begin_ = end_ = 0;
    positioned_ = failed_ = false;
  }
  // Makes `wanted` bytes (at most kLongestCode) ready at Data() where the
  // file has them; returns how many are ready. failed() tells an I/O error.
  std::size_t Fill(std::size_t wanted) {
    if (end_ - begin_ < wanted) Refill(wanted);
    return end_ - begin_;
  }
  const std::uint8_t* Data() const { return buffer_.data() + begin_; }
  void Skip(std::size_t count) { begin_ += count; }
  std::int64_t Offset() const { return bufferOffset_ + static_cast<std::int64_t>(begin_); }
  bool failed() const { return failed_; }

 private:
  void Refill(std::size_t wanted) {
    if (failed_) return;
    const std::size_t kept = end_ - begin_;
    std::memmove(buffer_.data(), buffer_.data() + begin_, kept);
    bufferOffset_ += static_cast<std::int64_t>(begin_);
    begin_ = 0;
    end_ = kept;
    if (!positioned_ && !file_->SetPosition(bufferOffset_ + static_cast<std::int64_t>(end_))) {
      failed_ = true;
      return;
    }
    positioned_ = true;
    while (end_ < wanted) {
      std::uint32_t got = 0;
      if (!file_->ReadUpTo(buffer_.data() + end_, static_cast<std::uint32_t>(kStreamBlock - end_),
                           got)) {
        failed_ = true;
        return;
      }
      if (got == 0) return;  // the end of the file
      end_ += got;
    }
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
// bitmap ends, handing each row and run of pixels to `sink`. Codes are read
// straight from the stream's block; only a code astride the block's end
// waits for the next block.
template <class Sink>
Decoded Decode(ByteStream& in, StreamPoint& at, std::int64_t endRow, Sink& sink) {
  std::int64_t row = at.row, x = at.x;
  sink.StartRow(row);
  Decoded result = Decoded::kReachedRow;
  while (row < endRow) {
    const std::size_t ready = in.Fill(kLongestCode);
    const std::uint8_t* const first = in.Data();
    const std::uint8_t* const last = first + ready;
    const std::uint8_t* code = first;
    bool ended = false;
    while (row < endRow && last - code >= 2) {
      const int count = code[0], second = code[1];
      if (count > 0) {  // encoded runs: `count` pixels alternating between two
        code = sink.EncodedRuns(code, last, x);
      } else if (second == 0) {  // end of line
        sink.StartRow(++row);
        x = 0;
        code += 2;
      } else if (second == 1) {  // end of bitmap
        code += 2;
        ended = true;
        break;
      } else if (second == 2) {  // delta: right and up
        if (last - code < 4) break;
        x += code[2];
        if (code[3] != 0) sink.StartRow(row += code[3]);
        code += 4;
      } else {  // an absolute run of `second` pixels, padded to 16 bits
        const std::ptrdiff_t bytes = 2 + (((second + 1) / 2 + 1) & ~1);
        if (last - code < bytes) break;
        sink.Absolute(x, second, code + 2);
        x += second;
        code += bytes;
      }
    }
    in.Skip(static_cast<std::size_t>(code - first));
    if (ended) {
      result = Decoded::kEndOfBitmap;
      break;
    }
    if (code == first && row < endRow && ready < kLongestCode) {  // the file ends inside a code
      result = in.failed() ? Decoded::kUnreadable : Decoded::kCutShort;
      break;
    }
  }
  sink.Finish();
  at = {in.Offset(), row, x};
  return result;
}

// Consecutive encoded runs, the bulk of most streams, get a loop of their
// own: from `code` up to the first escape or `last`; returns where it
// stopped, `x` moved past them.
const std::uint8_t* SkipEncodedRuns(const std::uint8_t* code, const std::uint8_t* last,
                                    std::int64_t& x) {
  do {
    x += code[0];
    code += 2;
  } while (last - code >= 2 && code[0] != 0);
  return code;
}

struct NoPixels {
  void StartRow(std::int64_t) {}
  void Finish() {}
  const std::uint8_t* EncodedRuns(const std::uint8_t* code, const std::uint8_t* last,
                                  std::int64_t& x) {
    return SkipEncodedRuns(code, last, x);
  }
  void Absolute(std::int64_t, int, const std::uint8_t*) {}
};

// Patterns of two alternating colours, one pixel a byte, for each code byte.
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

 private:
  // Packs the row being gathered into its nibbles.
  void PackRow() {
    if (target_ == nullptr) return;
    std::uint8_t* pixels = row_;
    std::memset(pixels + filled_, 0, static_cast<std::size_t>(2 * rowBytes_ - filled_));
    for (std::int64_t i = 0; i < rowBytes_; ++i) {
      target_[i] = static_cast<std::uint8_t>(pixels[2 * i] << 4 | pixels[2 * i + 1]);
    }
    target_ = nullptr;
    ++zeroedTo_;
  }

  void ZeroRowsBefore(std::int64_t row) {
    for (; zeroedTo_ < row; ++zeroedTo_) {
      std::memset(out_ + (zeroedTo_ - firstRow_) * stride_, 0, static_cast<std::size_t>(rowBytes_));
    }
  }

 public:
  // See SkipEncodedRuns. Runs that follow on from the last one inside the
  // gathered pixels are stored straight away; the others go by Encoded.
  const std::uint8_t* EncodedRuns(const std::uint8_t* code, const std::uint8_t* last,
                                  std::int64_t& x) {
    if (target_ == nullptr) return SkipEncodedRuns(code, last, x);
    std::uint8_t* const pixels = row_;
    const std::int64_t firstPixel = firstPixel_, end = pixels_;
    std::int64_t filled = filled_;
    do {
      const int count = code[0], pair = code[1];
      const std::int64_t at = x - firstPixel;
      if (at == filled && at + count <= end) {
        std::memcpy(pixels + at, kPatterns.of[pair], 16);  // most runs are this short
        for (int i = 16; i < count; i += 16) std::memcpy(pixels + at + i, kPatterns.of[pair], 16);
        filled = at + count;
      } else {
        filled_ = filled;
        Encoded(x, count, pair);
        filled = filled_;
      }
      x += count;
      code += 2;
    } while (last - code >= 2 && code[0] != 0);
    filled_ = filled;
    return code;
  }

  void Encoded(std::int64_t x, int count, int pair) {
    if (target_ == nullptr) return;
    const std::int64_t at = x - firstPixel_;
    if (at < filled_ || at + count > pixels_) return Clipped(x, count, pair, nullptr);
    std::uint8_t* pixels = row_;
    if (at > filled_) std::memset(pixels + filled_, 0, static_cast<std::size_t>(at - filled_));
    std::memcpy(pixels + at, kPatterns.of[pair], 16);  // most runs are this short
    for (int i = 16; i < count; i += 16) std::memcpy(pixels + at + i, kPatterns.of[pair], 16);
    filled_ = at + count;
  }

  void Absolute(std::int64_t x, int count, const std::uint8_t* codes) {
    if (target_ == nullptr) return;
    const std::int64_t at = x - firstPixel_;
    if (at < filled_ || at + count > pixels_) return Clipped(x, count, 0, codes);
    std::uint8_t* pixels = row_ + at;
    if (at > filled_) std::memset(row_ + filled_, 0, static_cast<std::size_t>(at - filled_));
    for (int i = 0; i < count; i += 2) {
      pixels[i] = codes[i / 2] >> 4;
      pixels[i + 1] = codes[i / 2] & 15;
    }
    filled_ = at + count;
  }

 private:
  // A run that reaches outside the gathered pixels: pixel by pixel.
  void Clipped(std::int64_t x, int count, int pair, const std::uint8_t* codes) {
    std::uint8_t* pixels = row_;
    for (int i = 0; i < count; ++i) {
      const std::int64_t at = x + i - firstPixel_;
      if (at < filled_ || at >= pixels_) continue;
      std::memset(pixels + filled_, 0, static_cast<std::size_t>(at - filled_));
      const int both = codes != nullptr ? codes[i / 2] : pair;
      pixels[at] = static_cast<std::uint8_t>(i % 2 ? both & 15 : both >> 4);
      filled_ = at + 1;
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
        spacing_(
            std::max(kCheckpointRows, (geometry.rowCount + kMaxCheckpoints - 1) / kMaxCheckpoints)),
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

  // Wide rows are gathered a chunk of columns at a time, each decoded from
  // the same noted point, so that the gathering row stays small.
  bool Read(InFile& source, std::int64_t firstStored, std::int64_t count, std::int64_t firstByte,
            std::int64_t rowBytes, std::uint8_t* out) override {
    const std::size_t nearest = static_cast<std::size_t>(firstStored / spacing_);
    if (nearest >= checkpoints_.size()) {  // past the end of the bitmap
      std::memset(out, 0, static_cast<std::size_t>(count * rowBytes));
      return true;
    }
    for (std::int64_t chunk = 0; chunk < rowBytes; chunk += kChunkBytes) {
      StreamPoint at = checkpoints_[nearest];
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
  std::vector<StreamPoint> checkpoints_;
  ByteStream stream_;
  std::vector<std::uint8_t> gathered_;
};

}  // namespace

SourceCheck IndexRle4Rows(InFile& source, const SourceGeometry& geometry, std::int64_t streamOffset,
                          std::unique_ptr<PixelRows>& rows) {
  auto rle4 = std::make_unique<Rle4Rows>(geometry, streamOffset);
  const SourceCheck check = rle4->Index(source);
  rows = std::move(rle4);
  return check;
}
