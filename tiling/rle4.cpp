#include <algorithm>
#include <cstring>
#include "tiling/buffer.h"
#include "tiling/pixel_rows.h"
#include "tiling/rle4_code.h"
#include "tiling/rle4_pixels.h"

namespace {

using namespace rle4;

// Beyond this many bands, a region's band starts are noted every k-th, so
// that memory stays fixed; a band then decodes from the nearest one before it.
constexpr std::size_t kMaxNotedBands = std::size_t{1} << 16;
// The widest stretch of a row decoded at once, in bytes of the result.
constexpr std::int64_t kChunkBytes = 256 * 1024;

// The stream, read forward in blocks from where a walk starts. Codes are
// read in place, with kLongestCode bytes at hand wherever the file has them.
class ByteStream {
 public:
  static constexpr std::size_t kBlock = 64 * 1024;

  bool Allocate() { return buffer_.Reserve(kBlock); }
  bool Start(InFile& file, std::int64_t offset) {
    file_ = &file;
    bufferOffset_ = offset;
    at_ = end_ = 0;
    ended_ = false;
    return file.SetPosition(offset);
  }
  // The bytes from the current offset on, `available` of them; null on a
  // read error.
  const std::uint8_t* Ready(std::size_t& available) {
    if (end_ - at_ < kLongestCode && !ended_ && !Refill()) return nullptr;
    available = end_ - at_;
    return buffer_.data() + at_;
  }
  void Skip(std::size_t bytes) { at_ += bytes; }
  std::int64_t Offset() const { return bufferOffset_ + static_cast<std::int64_t>(at_); }

 private:
  bool Refill() {
    const std::size_t kept = end_ - at_;
    std::memmove(buffer_.data(), buffer_.data() + at_, kept);
    bufferOffset_ += static_cast<std::int64_t>(at_);
    at_ = 0;
    end_ = kept;
    std::uint32_t got = 0;
    const auto wanted = static_cast<std::uint32_t>(kBlock - kept);
    if (!file_->ReadUpTo(buffer_.data() + kept, wanted, got)) return false;
    end_ += got;
    ended_ = got < wanted;  // a read comes up short only at the end of the file
    return true;
  }

  InFile* file_ = nullptr;
  Buffer<std::uint8_t> buffer_;
  std::int64_t bufferOffset_ = 0;  // file offset of buffer_[0]
  std::size_t at_ = 0, end_ = 0;
  bool ended_ = false;
};

enum class WalkEnd { kStopped, kEndOfBitmap, kCutShort, kUnreadable };

// Walks the codes from the stream's offset on, the decoder standing at `at`.
// Runs, nearly every code, go to `walker.Runs` in stretches that it reads
// in place, ending kLongestCode before the bytes at hand so that each code
// in them is whole; every other code goes to `walker.Take`. After a code
// that moves up, `walker.MovedUp` says whether to go on.
template <class Walker>
WalkEnd Walk(ByteStream& stream, Position& at, Walker& walker) {
  for (;;) {
    std::size_t available;
    const std::uint8_t* const first = stream.Ready(available);
    if (first == nullptr) return WalkEnd::kUnreadable;
    const std::uint8_t* const limit =
        first + (available > kLongestCode ? available - kLongestCode : 0);
    const std::uint8_t* const bytes = walker.Runs(first, limit, at.x);
    const Code code = ReadCode(bytes, static_cast<std::size_t>(first + available - bytes));
    if (code.kind == Kind::kIncomplete) return WalkEnd::kCutShort;
    stream.Skip(static_cast<std::size_t>(bytes + code.bytes - first));
    if (code.kind == Kind::kEndOfBitmap) return WalkEnd::kEndOfBitmap;
    walker.Take(code, bytes, at.x);
    Move(at, code);
    if (code.rows != 0 && !walker.MovedUp(at, stream.Offset())) return WalkEnd::kStopped;
  }
}

// Where a band begins in the stream: the decoder's exact state when its
// stored row first reached `firstRow` or passed it.
struct BandStart {
  std::int64_t firstRow;
  std::int64_t offset;  // of the next code
  Position at;
};

// The check's walker: it only notes, in order, where the bands begin.
struct StartNoter {
  BandStart* starts;
  std::size_t count;
  std::size_t noted = 0;

  const std::uint8_t* Runs(const std::uint8_t* code, const std::uint8_t* limit, std::int64_t& x) {
    std::int64_t pixels = 0;  // kept apart from x, which could live in memory
    while (code < limit) {
      const std::uint64_t counts = CountsOfFour(code);
      if (FourEncodedRuns(counts, 255)) {
        pixels += PixelsOfFour(counts);
        code += 8;
        continue;
      }
      const Code run = ReadCode(code, kLongestCode);
      if (run.kind != Kind::kRun && run.kind != Kind::kAbsolute) break;
      pixels += run.columns;
      code += run.bytes;
    }
    x += pixels;
    return code;
  }
  void Take(const Code&, const std::uint8_t*, std::int64_t) {}
  bool MovedUp(const Position& at, std::int64_t offset) {
    for (; noted < count && starts[noted].firstRow <= at.row; ++noted) {
      starts[noted].offset = offset;
      starts[noted].at = at;
    }
    return true;
  }
};

class Rle4Source : public PixelRows {
 public:
  Rle4Source(const SourceGeometry& geometry, std::int64_t streamOffset)
      : geometry_(geometry), streamOffset_(streamOffset) {}

  // One walk over the whole stream, noting where each band of the plan
  // begins. The bitmap ends in the row the walk ends in: the bands past it
  // hold no pixel, and their starts were never reached.
  SourceCheck Check(InFile& source, const BandPlan& plan) override {
    const std::int64_t widest = std::min(kChunkBytes, geometry_.RowBytes());
    if (!PlanBandStarts(plan) || !stream_.Allocate() ||
        !gathered_.Reserve(static_cast<std::size_t>(BandPixels::GatheredBytes(widest)))) {
      return SourceCheck::kNoMemory;
    }
    if (!stream_.Start(source, streamOffset_)) return SourceCheck::kUnreadable;
    Position at;
    StartNoter noter = {starts_.data(), startCount_};
    noter.MovedUp(at, streamOffset_);
    const WalkEnd end = Walk(stream_, at, noter);
    if (end == WalkEnd::kUnreadable) return SourceCheck::kUnreadable;
    if (end != WalkEnd::kEndOfBitmap) return SourceCheck::kNotSixteenColours;
    endRow_ = at.row;
    dataEnd_ = stream_.Offset();
    startCount_ = noter.noted;
    return SourceCheck::kUsable;
  }
  std::int64_t DataEnd() const override { return dataEnd_; }

  // Wide rows are decoded a chunk of columns at a time, each chunk from the
  // band's start, so that the row gathered stays small.
  bool Read(InFile& source, std::int64_t firstStored, std::int64_t count, std::int64_t firstByte,
            std::int64_t rowBytes, std::uint8_t* out) override {
    if (firstStored > endRow_) {
      std::memset(out, 0, static_cast<std::size_t>(count * rowBytes));
      return true;
    }
    const BandStart start = NearestStart(firstStored);
    for (std::int64_t chunk = 0; chunk < rowBytes; chunk += kChunkBytes) {
      if (!stream_.Start(source, start.offset)) return false;
      BandPixels band({firstStored, firstStored + count, 2 * (firstByte + chunk),
                       std::min(kChunkBytes, rowBytes - chunk), rowBytes},
                      geometry_.width, out + chunk, gathered_.data());
      Position at = start.at;
      if (band.MovedUp(at, start.offset)) {
        const WalkEnd end = Walk(stream_, at, band);
        // A file changed since the check may end early: that is an error.
        if (end == WalkEnd::kCutShort || end == WalkEnd::kUnreadable) return false;
      }
      band.Finish();
    }
    return true;
  }

 private:
  // The stored rows where the plan's bands begin, lowest first: with more
  // bands than kMaxNotedBands, every k-th one from the lowest. False when
  // memory runs out.
  bool PlanBandStarts(const BandPlan& plan) {
    startCount_ = 0;
    if (plan.count <= 0 || plan.rows <= 0 || plan.top >= geometry_.rowCount) return true;
    // Bands [first, end) hold rows of the image.
    const std::int64_t first = plan.top < 0 ? -plan.top / plan.rows : 0;
    const std::int64_t end =
        std::min(plan.count, (geometry_.rowCount - plan.top + plan.rows - 1) / plan.rows);
    if (first >= end) return true;
    const std::int64_t step = (end - first + kMaxNotedBands - 1) / kMaxNotedBands;
    if (!starts_.Reserve(static_cast<std::size_t>((end - first + step - 1) / step))) return false;
    for (std::int64_t band = end - 1; band >= first; band -= step) {
      const StoredRows rows = StoredRowsOf(geometry_, plan.top + band * plan.rows, plan.rows);
      starts_[startCount_++] = {rows.first, 0, {}};
    }
    return true;
  }

  BandStart NearestStart(std::int64_t firstStored) const {
    const BandStart* const starts = starts_.data();
    const auto after = std::upper_bound(
        starts, starts + startCount_, firstStored,
        [](std::int64_t row, const BandStart& start) { return row < start.firstRow; });
    return after == starts ? BandStart{0, streamOffset_, {}} : *(after - 1);
  }

  SourceGeometry geometry_;
  std::int64_t streamOffset_;
  Buffer<BandStart> starts_;  // in stream order
  std::size_t startCount_ = 0;
  std::int64_t endRow_ = 0;   // the stored row of the end-of-bitmap code
  std::int64_t dataEnd_ = 0;  // just past that code
  ByteStream stream_;
  Buffer<std::uint8_t> gathered_;  // a row of the band, one pixel a byte
};

}  // namespace

std::unique_ptr<PixelRows> Rle4Rows(const SourceGeometry& geometry, std::int64_t streamOffset) {
  return std::make_unique<Rle4Source>(geometry, streamOffset);
}
