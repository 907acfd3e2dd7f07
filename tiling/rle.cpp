// An RLE4 or RLE8 source: one walk over the codes, and the planner of where
// each walk starts, where it stops and what it notes for the walks after it.
#include <algorithm>
#include <cstring>

#include "fileio/block_reader.h"
#include "fileio/buffer.h"
#include "tiling/pixel_rows.h"
#include "tiling/rle_code.h"

namespace {

using namespace rle;

// Stored rows [firstRow, endRow) and pixels [firstPixel, endPixel) of each,
// packed into `out`, rows `rowBytes` apart; pixels past endPixel are 0.
struct Window {
  std::int64_t firstRow = 0, endRow = 0, firstPixel = 0, endPixel = 0, rowBytes = 0;
  std::uint8_t* out = nullptr;
  bool HoldsRow(std::int64_t row) const { return row >= firstRow && row < endRow; }
};

// The pixels that runs set in a window of the image: each row is gathered
// one pixel a byte, so that a run is a few plain copies whatever its column,
// and packed two a byte into the window when the row ends.
class Paint {
 public:
  // The pixels of a stream of `bits` (4 or 8) a pixel, in an image `width`
  // pixels wide and `rows` high.
  Paint(int bits, std::int64_t width, std::int64_t rows)
      : bits_(bits), width_(width), rows_(rows), tallying_(bits == 8) {}

  // Room for rows of `rowBytes` bytes, with slack on each side, and the
  // pixels of each stream byte as `fourBit` gives them: those of an encoded
  // run of it; an absolute run's byte has its pixels in the first two.
  // False when memory runs out.
  bool Reserve(std::int64_t rowBytes, const std::uint8_t (&fourBit)[256]) {
    for (int i = 0; i < 256 * kPattern; ++i) {
      const int byte = i / kPattern, value = bits_ == 8 ? byte : byte >> 4 * (1 - i % 2) & 15;
      patterns_[byte][i % kPattern] = fourBit[value];
    }
    if (!gathered_.Reserve(RowRoom(rowBytes))) return false;
    std::memset(gathered_.data(), 0, gathered_.capacity());
    return true;
  }
  bool Holds(std::int64_t rowBytes) const { return RowRoom(rowBytes) <= gathered_.capacity(); }
  static std::size_t RowRoom(std::int64_t rowBytes) { return std::size_t(2 * (rowBytes + kSlack)); }

  // Paints `window`, which starts zeroed, so that rows no run reaches are 0.
  void Begin(const Window& window) {
    window_ = window;
    row_ = window.firstRow;
    std::memset(window.out, 0, (window.endRow - window.firstRow) * window.rowBytes);
  }
  const Window& window() const { return window_; }
  int bits() const { return bits_; }
  // Ends the tally of the values that the 8-bit pixels of the image take,
  // after a walk over the whole stream: 0 is one when the runs set fewer
  // pixels than the image holds, as a pixel is set at most once.
  void EndTally() {
    tallying_ = false;
    used_[0] = used_[0] || set_ < width_ * rows_;
  }
  // Those values, once tallied; null for pixels of 4 bits.
  const bool* ValuesUsed() const { return bits_ == 8 ? used_ : nullptr; }

  // The runs from `at` on that `bytes` holds whole, while x is short of
  // `stopX` and each ends by `limit`. Those of the window's rows that begin
  // before its last pixel and less than kSlack before its first set their
  // pixels whole, some in the slack on either side of the window. A row
  // starts zeroed and stays zero past the last pixel set: x only grows
  // within a row, and each run puts back to 0 what its copies set past its
  // end. The other runs are only counted, up to where they would set pixels.
  // False when the first code is no such run.
  bool Runs(Cursor& at, const ByteSpan& bytes, std::int64_t limit, std::int64_t stopX) {
    const std::int64_t paintFrom = window_.firstPixel - kSlack;
    if (!window_.HoldsRow(at.row) || at.x >= window_.endPixel)
      return Count(at, bytes, limit, stopX);
    return at.x < paintFrom ? Count(at, bytes, limit, paintFrom) : Set(at, bytes, limit);
  }

  // Packs the row being gathered into the window, and zeroes it again.
  // Two pixels a byte, the first in the high nibble, of the window's pixels
  // only: the pixel after them may be one a run set past the window.
  void Finish() {
    std::uint8_t* const pixels = gathered_.data() + kSlack;
    std::uint8_t* const packed = window_.out + (row_ - window_.firstRow) * window_.rowBytes;
    const std::int64_t count = std::min(painted_ - kSlack, window_.endPixel - window_.firstPixel);
    if (count > 0) pixels[count] = 0;
    for (std::int64_t i = 0; i < (count + 1) / 2; ++i) {
      packed[i] = static_cast<std::uint8_t>(pixels[2 * i] << 4 | pixels[2 * i + 1]);
    }
    if (painted_ > 0) std::memset(gathered_.data(), 0, static_cast<std::size_t>(painted_));
    painted_ = 0;
  }

 private:
  static constexpr int kPattern = 16;  // a run of up to this many pixels is one copy
  // More than a longest run and the last copy of its pattern.
  static constexpr std::int64_t kSlack = 288;

  // Counted runs note the values of their 8-bit pixels in the image.
  bool Count(Cursor& at, const ByteSpan& bytes, std::int64_t limit, std::int64_t stopX) {
    const std::uint8_t* code = bytes.at;
    const std::uint8_t* const end = bytes.at + bytes.size;
    std::int64_t x = at.x;
    while (x < stopX) {
      const Code run = ReadCode(code, static_cast<std::size_t>(end - code), bits_);
      if (!run.IsRun() || x + run.columns > limit) break;
      const bool encoded = run.kind == Kind::kEncoded;
      const std::int64_t inside =
          tallying_ && at.row < rows_ ? std::clamp<std::int64_t>(width_ - x, 0, run.columns) : 0;
      for (std::int64_t i = 0; i < inside; i += encoded ? inside : 1)
        used_[run.at[2 + i - encoded]] = true;
      set_ += inside;
      x += run.columns;
      code += run.bytes;
    }
    at.offset += code - bytes.at;
    at.x = x;
    return code != bytes.at;
  }

  // Most of a stream goes through here, its state in locals: stores of pixels
  // could alias members.
  bool Set(Cursor& at, const ByteSpan& bytes, std::int64_t limit) {
    if (at.row != row_) Finish();
    row_ = at.row;
    const int bits = bits_, perByte = 8 / bits;  // pixels an absolute run's byte holds
    const std::int64_t first = window_.firstPixel - kSlack, end = window_.endPixel;
    std::uint8_t* const row = gathered_.data();  // pixel x at row[x - first]
    const std::uint8_t* code = bytes.at;
    const std::uint8_t* const last = bytes.at + bytes.size;
    std::int64_t x = at.x;
    while (x < end) {
      const Code run = ReadCode(code, static_cast<std::size_t>(last - code), bits);
      if (!run.IsRun() || x + run.columns > limit) break;
      std::uint8_t* to = row + (x - first);
      if (run.kind == Kind::kEncoded) {
        for (int i = 0; i < run.columns; i += kPattern) {
          std::memcpy(to + i, patterns_[run.at[1]], kPattern);
        }
      } else {
        for (int i = 0; i < run.columns; i += perByte) {
          std::memcpy(to + i, patterns_[run.at[2 + i / perByte]], 2);
        }
      }
      std::memset(to + run.columns, 0, kPattern);
      x += run.columns;
      code += run.bytes;
    }
    if (code == bytes.at) return false;
    at.offset += code - bytes.at;
    at.x = x;
    painted_ = x - first;
    return true;
  }

  int bits_;
  std::int64_t width_, rows_;
  bool tallying_;         // of 8-bit pixels, until their values are asked for
  bool used_[256] = {};   // the values of 8-bit pixels in the image, as counted
  std::int64_t set_ = 0;  // how many pixels of the image the counted runs set
  std::uint8_t patterns_[256][kPattern];
  Buffer<std::uint8_t> gathered_;  // the row being gathered, one pixel a byte, from the slack on
  Window window_;
  std::int64_t row_ = 0;      // the stored row being gathered
  std::int64_t painted_ = 0;  // the end of its pixels set, from the slack on
};

// Where a band begins in the stream: the cursor where the decoder first
// stood in its first stored row or above it; no cursor until then.
struct BandStart {
  std::int64_t firstRow = 0;
  Cursor at;
};

// One walk over the codes, in stream order: it reads a code, notes what the
// decoder passes, paints the code's pixels that lie in the window, and moves
// past it. What it notes: the `startCount` band starts at `starts`, lowest
// first, as it reaches them; and in each row of the window, into its place
// in `exits`, the cursor before the first code that reaches past
// `exitPixel`.
struct Walk {
  BlockReader& codes;
  Paint& paint;
  BandStart* starts = nullptr;
  std::int64_t startCount = 0;
  Cursor* exits = nullptr;
  std::int64_t exitPixel = kNever;

  // From `at` to before the first code at which the decoder stands in
  // `stopRow` or above it, or at `stopX` or right of it, or to the end of
  // the bitmap; a stream that ends before that is no 16-colour BMP. A run
  // that reaches past the exit pixel waits until its row's exit is noted.
  SourceCheck To(InFile& file, Cursor& at, std::int64_t stopRow, std::int64_t stopX) {
    const Window& window = paint.window();
    for (;;) {
      if (at.row >= stopRow) return SourceCheck::kUsable;
      for (; startCount > 0 && starts->firstRow <= at.row; --startCount) (starts++)->at = at;
      ByteSpan bytes;
      if (!codes.Fetch(file, at.offset, kLongestCode, bytes)) return SourceCheck::kUnreadable;
      const bool exitPending = window.HoldsRow(at.row) && exitPixel != kNever &&
                               exits[at.row - window.firstRow].offset < 0;
      if (paint.Runs(at, bytes, exitPending ? exitPixel : kNever, stopX)) continue;
      const Code code = ReadCode(bytes.at, bytes.size, paint.bits());
      if (code.kind == Kind::kCutShort) return SourceCheck::kNotSixteenColours;
      if (code.kind == Kind::kEndOfBitmap) return SourceCheck::kUsable;
      if (exitPending && at.x + code.columns > exitPixel) exits[at.row - window.firstRow] = at;
      if (at.x >= stopX) return SourceCheck::kUsable;
      if (!code.IsRun()) Move(at, code);
    }
  }
};

class RleSource : public PixelRows {
 public:
  RleSource(const SourceGeometry& geometry, int bits, std::int64_t offset, const ReadSizes& sizes)
      : geometry_(geometry),
        streamOffset_(offset),
        sizes_(sizes),
        paint_(bits, geometry.width, geometry.rowCount) {}

  // One walk over the whole stream, to its end-of-bitmap code, noting where
  // the bands of the plan begin. The bitmap ends in the row the walk ends
  // in: the bands past it hold no pixel, and their starts were never reached.
  SourceCheck Check(InFile& source, const BandPlan& plan) override {
    plan_ = plan;
    // A block of two longest codes or more moves on by one at each refill.
    if (!PlanStarts() || !codes_.Reserve(std::max(sizes_.readBlock, 2 * kLongestCode))) {
      return SourceCheck::kNoMemory;
    }
    walk_.starts = starts_.data();
    walk_.startCount = startCount_;
    end_ = {streamOffset_, 0, 0};
    const SourceCheck check = walk_.To(source, end_, kNever, kNever);
    paint_.EndTally();
    return check;
  }
  std::int64_t DataEnd() const override { return end_.offset + 2; }
  const bool* ValuesUsed() const override { return paint_.ValuesUsed(); }

  bool Reserve(std::int64_t rows, std::int64_t rowBytes) override {
    return exits_.Reserve(static_cast<std::size_t>(rows)) &&
           paint_.Reserve(rowBytes, palette_.fourBit);
  }

  // A fetch of the rows of the fetch before, from the pixel where that one
  // noted their exits or right of it, resumes each row there; any other
  // walks its band from where the band begins. Neither takes memory: a
  // fetch that would need more room than Reserve made fails.
  bool Read(InFile& source, std::int64_t firstStored, std::int64_t count, std::int64_t firstByte,
            std::int64_t rowBytes, std::uint8_t* out) override {
    const std::int64_t endPixel = std::min(2 * (firstByte + rowBytes), geometry_.width);
    const Window window = {firstStored, firstStored + count, 2 * firstByte, endPixel, rowBytes,
                           out};
    if (!paint_.Holds(rowBytes) || std::size_t(count) > exits_.capacity()) return false;
    const Window& last = paint_.window();  // and its exits were noted for walk_.exitPixel
    const bool resumes = resumable_ && last.firstRow == window.firstRow &&
                         last.endRow == window.endRow && walk_.exitPixel <= window.firstPixel;
    paint_.Begin(window);
    walk_.exits = exits_.data();
    walk_.exitPixel = plan_.NextGroupPixel(window.firstPixel);
    resumable_ = resumes ? ResumeRows(source, window) : WalkBand(source, window);
    paint_.Finish();
    return resumable_;
  }

 private:
  // Each row from the exit the fetch before noted in it to where it leaves
  // this window, noting its exit anew; a row without one holds none of its
  // pixels. A group that follows on from another begins before that one
  // ends, as neighbouring tiles overlap: a fetch that follows on from this
  // one finds its exits noted.
  bool ResumeRows(InFile& source, const Window& window) {
    const std::int64_t stopX = window.firstPixel + 2 * window.rowBytes;
    walk_.startCount = 0;
    for (std::int64_t row = window.firstRow; row < window.endRow; ++row) {
      Cursor at = exits_[row - window.firstRow];
      exits_[row - window.firstRow] = Cursor();
      if (at.offset >= 0 && walk_.To(source, at, row + 1, stopX) != SourceCheck::kUsable)
        return false;
    }
    return true;
  }

  // The band from where it begins, every row to its end.
  bool WalkBand(InFile& source, const Window& window) {
    std::fill(exits_.data(), exits_.data() + (window.endRow - window.firstRow), Cursor());
    if (window.firstRow > end_.row) return true;  // past the end of the bitmap
    Cursor at = StartOf(window.firstRow);
    return walk_.To(source, at, window.endRow, kNever) == SourceCheck::kUsable;
  }

  // Where the band whose rows begin at stored row `row` begins: passed on
  // the way to a band before, or else the nearest start below it that the
  // check noted. On the way from there the walk notes the starts of the
  // bands it passes, which the grid fetches next: it goes down the image,
  // and so up the stream, a band's rows at a time.
  Cursor StartOf(std::int64_t row) {
    walk_.startCount = 0;
    const std::int64_t i = passedCount_ > 0 ? (row - passed_[0].firstRow) / plan_.rows : -1;
    if (i >= 0 && i < passedCount_ && passed_[i].firstRow == row && passed_[i].at.offset >= 0) {
      return passed_[i].at;
    }
    const BandStart start = row >= phase_ && startCount_ > 0
                                ? starts_[std::min((row - phase_) / spacing_, startCount_ - 1)]
                                : BandStart{-1, {streamOffset_, 0, 0}};
    passedCount_ = std::min((row - start.firstRow - 1) / plan_.rows, spacing_ / plan_.rows);
    for (std::int64_t j = 0; j < passedCount_; ++j) {
      passed_[j] = {row - (passedCount_ - j) * plan_.rows, {}};
    }
    walk_.starts = passed_.data();
    walk_.startCount = passedCount_;
    return start.at;
  }

  // Bands begin at stored rows phase_ + m x rows, and the lowest, which the
  // image may cut, at 0, where the stream does. The check notes the start
  // of every k-th from phase_ on, as many as the sizes allow, and the walk
  // to a band notes the k - 1 it passes. False when memory runs out.
  bool PlanStarts() {
    startCount_ = passedCount_ = 0;
    const std::int64_t rows = plan_.rows, rowCount = geometry_.rowCount;
    const auto most = static_cast<std::int64_t>(std::max<std::size_t>(sizes_.notedStarts, 1));
    phase_ = ((rowCount - plan_.top) % rows + rows) % rows;
    spacing_ = (rowCount / rows + most) / most * rows;
    if (!starts_.Reserve(std::size_t(rowCount / spacing_ + 1)) ||
        !passed_.Reserve(std::size_t(spacing_ / rows))) {
      return false;
    }
    for (std::int64_t row = phase_; row < rowCount; row += spacing_) {
      starts_[startCount_++] = {row, {}};
    }
    return true;
  }

  SourceGeometry geometry_;
  std::int64_t streamOffset_;
  ReadSizes sizes_;
  BandPlan plan_;
  BlockReader codes_;
  Paint paint_;
  Walk walk_{codes_, paint_};
  std::int64_t phase_ = 0, spacing_ = 1;  // of the band starts the check notes
  Buffer<BandStart> starts_;              // noted by the check, lowest first
  std::int64_t startCount_ = 0;
  Buffer<BandStart> passed_;  // noted on the way from one of those to a band
  std::int64_t passedCount_ = 0;
  Buffer<Cursor> exits_;    // of the rows of the last fetch
  bool resumable_ = false;  // the last fetch, whose window paint_ has still
  Cursor end_;              // at the end-of-bitmap code
};

}  // namespace

PixelRowsObject RleRows(const SourceGeometry& geometry, int bits, std::int64_t streamOffset,
                        const ReadSizes& sizes) {
  return PixelRowsObject(NewObject<RleSource>(geometry, bits, streamOffset, sizes));
}
