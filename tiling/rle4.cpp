#include <algorithm>
#include <cstring>

#include "tiling/buffer.h"
#include "tiling/pixel_rows.h"
#include "tiling/rle4_code.h"
#include "tiling/rle4_pixels.h"

namespace {

using namespace rle4;

constexpr std::int64_t kNoStop = INT64_MAX;

// The stream, read forward in blocks. It alone says when a code is at hand:
// every code that begins before a stretch's limit lies whole in the
// stretch, unless the file ends inside the code.
class ByteStream {
 public:
  struct Stretch {
    const std::uint8_t *at, *limit, *end;
    bool whole;  // a longest code follows each code before limit: the file goes on
  };

  bool Allocate(std::size_t block) {
    block_ = std::max(block, kLongestCode);
    return buffer_.Reserve(block_);
  }
  // Goes on from `offset` in `file`, without a read when it lies in the
  // bytes at hand.
  bool MoveTo(InFile& file, std::int64_t offset) {
    if (&file == file_ && offset >= bufferOffset_ &&
        offset - bufferOffset_ <= static_cast<std::int64_t>(end_)) {
      at_ = static_cast<std::size_t>(offset - bufferOffset_);
      return true;
    }
    file_ = &file;
    bufferOffset_ = offset;
    at_ = end_ = 0;
    ended_ = false;
    return file.SetPosition(offset);
  }
  // The bytes from the current offset on, topped up first when less than a
  // longest code is at hand. False on a read error.
  bool Ready(Stretch& stretch) {
    if (end_ - at_ < kLongestCode && !ended_ && !Refill()) return false;
    stretch = {buffer_.data() + at_, buffer_.data() + end_ - (ended_ ? 0 : kLongestCode - 1),
               buffer_.data() + end_, !ended_};
    return true;
  }
  void Consume(const std::uint8_t* to) { at_ = static_cast<std::size_t>(to - buffer_.data()); }
  std::int64_t OffsetOf(const std::uint8_t* at) const {
    return bufferOffset_ + (at - buffer_.data());
  }
  std::int64_t Offset() const { return bufferOffset_ + static_cast<std::int64_t>(at_); }

 private:
  bool Refill() {
    const std::size_t kept = end_ - at_;
    std::memmove(buffer_.data(), buffer_.data() + at_, kept);
    bufferOffset_ += static_cast<std::int64_t>(at_);
    at_ = 0;
    std::uint32_t got = 0;
    const auto wanted = static_cast<std::uint32_t>(block_ - kept);
    if (!file_->ReadUpTo(buffer_.data() + kept, wanted, got)) return false;
    end_ = kept + got;
    ended_ = got < wanted;  // a read comes up short only at the end of the file
    return true;
  }

  InFile* file_ = nullptr;
  Buffer<std::uint8_t> buffer_;
  std::size_t block_ = kLongestCode;
  std::int64_t bufferOffset_ = 0;  // file offset of buffer_[0]
  std::size_t at_ = 0, end_ = 0;
  bool ended_ = false;
};

// Where a row of a walk's window first reaches past the pixel where the next
// window of the same rows begins: the decoder's exact state before that
// code, from which the next walk goes on.
struct Note {
  std::int64_t offset = -1;  // of that code; -1 when no code of the row reaches there
  std::int64_t x = 0;
};

// Where a band begins in the stream: the decoder's exact state when its
// stored row first reached `firstRow` or passed it.
struct BandStart {
  std::int64_t firstRow;
  std::int64_t offset;  // of the next code
  Position at;
};

// What a walk decodes: stored rows [firstRow, endRow) and pixels
// [firstPixel, firstPixel + 2 x rowBytes) of each, packed into `out`, rows
// `rowBytes` apart.
struct Window {
  std::int64_t firstRow, endRow, firstPixel, rowBytes;
  std::uint8_t* out;
};
// The check's: no code reaches it, so the walk goes on to the end of the bitmap.
constexpr Window kNoWindow = {kNoStop, kNoStop, 0, 0, nullptr};

enum class WalkEnd { kEndOfBitmap, kStopped, kCutShort, kUnreadable };

// One walk over the codes, in stream order. It notes the band starts it
// passes, and decodes the window's rows: each is gathered one pixel a byte
// and packed when it ends; pixels between those set are 0, as are the rows
// no code reaches, and pixels outside the window or past the image's width
// are dropped. In each row it notes where a code first reaches past
// `resumePixel`, so that the next window of the same rows resumes there.
// Given the notes of the walk before, it resumes each row noted where that
// one left it, goes from a row it is done with to the next one noted, and
// leaves the rows not noted, which hold none of its pixels, at 0.
class Walk {
 public:
  Walk(ByteStream& stream, const Window& window, std::int64_t imageWidth, std::uint8_t* gathered)
      : stream_(stream),
        window_(window),
        gatherEnd_(std::min(window.firstPixel + 2 * window.rowBytes, imageWidth)),
        gathered_(gathered),
        zeroedTo_(window.firstRow) {}

  BandStart* starts = nullptr;  // to note, in stream order
  std::size_t startCount = 0, noted = 0;
  Note* exits = nullptr;  // where this one reaches past resumePixel
  std::int64_t resumePixel = kNoStop;
  Position at;

  // Walks from the code at `offset`, the decoder standing at `from`.
  WalkEnd From(InFile& source, std::int64_t offset, Position from) {
    at = from;
    source_ = &source;
    jump_ = offset;
    return Run(EnterRow(offset));
  }

  // Walks the window's rows from where the walk before left them.
  WalkEnd Resume(InFile& source, const Note* walkedBefore) {
    entries_ = walkedBefore;
    at.row = window_.firstRow - 1;
    source_ = &source;
    return Run(NextRow());
  }

  // The rows no code reached are 0.
  void Finish() {
    EndRow();
    for (; zeroedTo_ < window_.endRow; ++zeroedTo_)
      std::memset(RowAt(zeroedTo_), 0, window_.rowBytes);
  }

 private:
  enum class Step { kGoOn, kJump, kStop };

  WalkEnd Run(Step first) {
    const WalkEnd end = first == Step::kStop ? WalkEnd::kStopped : Codes();
    Finish();
    return end;
  }

  // Every code goes back to the stream for its stretch before it is read.
  WalkEnd Codes() {
    if (!stream_.MoveTo(*source_, jump_)) return WalkEnd::kUnreadable;
    for (;;) {
      ByteStream::Stretch bytes;
      if (!stream_.Ready(bytes)) return WalkEnd::kUnreadable;
      if (bytes.at == bytes.end) return WalkEnd::kCutShort;
      const std::uint8_t* code = bytes.at;
      Step step = Step::kGoOn;
      while (step == Step::kGoOn && code < bytes.limit) {
        code = bytes.whole ? Runs<true>(code, bytes) : Runs<false>(code, bytes);
        if (code >= bytes.limit) break;
        const Code taken = ReadCode(code, static_cast<std::size_t>(bytes.end - code));
        if (taken.kind == Kind::kIncomplete) return WalkEnd::kCutShort;
        step = Take(taken, stream_.OffsetOf(code));
        code += taken.bytes;
      }
      stream_.Consume(code);
      if (step == Step::kStop) return endOfBitmap_ ? WalkEnd::kEndOfBitmap : WalkEnd::kStopped;
      if (step == Step::kJump && !stream_.MoveTo(*source_, jump_)) return WalkEnd::kUnreadable;
    }
  }

  template <bool kWhole>
  const std::uint8_t* Runs(const std::uint8_t* code, const ByteStream::Stretch& bytes) {
    return gathering_ ? RunsOf<true, kWhole>(code, bytes) : RunsOf<false, kWhole>(code, bytes);
  }

  // The runs that follow one another from `code` on, while each begins
  // before the stretch's limit and ends by the stop; their pixels are set
  // when the row is being gathered. Returns the first code it left. Most of a
  // stream goes through here, its state in locals: pixel stores could alias
  // members.
  template <bool kGather, bool kWhole>
  const std::uint8_t* RunsOf(const std::uint8_t* code, const ByteStream::Stretch& bytes) {
    constexpr int kLongest = kGather ? kPatternPixels : 255;
    const std::uint8_t *const limit = bytes.limit, *const end = bytes.end;
    std::uint8_t* const row = gathered_;
    const std::int64_t origin = kGather ? window_.firstPixel : 0;
    const std::int64_t stop = stop_ - origin;
    std::int64_t x = at.x - origin;
    while (code < limit) {
      // Eight codes at a time, or four, when they are short encoded runs.
      if (kWhole || end - code >= 2 * kFourRunsBytes) {
        const std::uint64_t first = CountsOfFour(code);
        const std::uint64_t second = CountsOfFour(code + kFourRunsBytes);
        if (FourEncodedRuns<kLongest>(first) && FourEncodedRuns<kLongest>(second) &&
            x + PixelsOfFour(first + second) <= stop) {
          if (kGather) x += GatherFourRuns(row + x, code);
          x += kGather ? GatherFourRuns(row + x, code + kFourRunsBytes)
                       : PixelsOfFour(first + second);
          code += 2 * kFourRunsBytes;
          continue;
        }
      }
      if (kWhole || end - code >= kFourRunsBytes) {
        const std::uint64_t counts = CountsOfFour(code);
        if (FourEncodedRuns<kLongest>(counts) && x + PixelsOfFour(counts) <= stop) {
          x += kGather ? GatherFourRuns(row + x, code) : PixelsOfFour(counts);
          code += kFourRunsBytes;
          continue;
        }
      }
      const Code run = ReadCode(code, kWhole ? kLongestCode : static_cast<std::size_t>(end - code));
      if (!IsRun(run) || x + run.columns > stop) break;
      if (kGather) GatherRun(row + x, run);
      x += run.columns;
      code += run.bytes;
    }
    at.x = x + origin;
    if (kGather) filled_ = x;
    return code;
  }

  // Any other code: one that moves the decoder, or a run that reaches past
  // where the runs stop.
  Step Take(const Code& code, std::int64_t offset) {
    if (target_ != nullptr) {
      if (!exitNoted_ && at.x + code.columns > resumePixel) {
        exits[at.row - window_.firstRow] = {offset, at.x};
        exitNoted_ = true;
      }
      if (IsRun(code)) GatherPart(code);
    }
    if (code.kind == Kind::kEndOfBitmap) {
      endOfBitmap_ = true;
      return Step::kStop;
    }
    Move(at, code);
    if (code.rows != 0) {
      EndRow();
      return EnterRow(offset + code.bytes);
    }
    if (target_ != nullptr && exitNoted_ && entries_ != nullptr && at.x >= gatherEnd_) {
      return NextRow();
    }
    SetStop();
    return Step::kGoOn;
  }

  // The decoder has moved up to a new row, or starts in one.
  Step EnterRow(std::int64_t offset) {
    for (; noted < startCount && starts[noted].firstRow <= at.row; ++noted) {
      starts[noted] = {starts[noted].firstRow, offset, at};
    }
    if (at.row >= window_.endRow) return Step::kStop;
    if (at.row < window_.firstRow) {
      SetStop();
      return Step::kGoOn;
    }
    if (entries_ != nullptr && entries_[at.row - window_.firstRow].offset < 0) return NextRow();
    return BeginRow();
  }

  // Past the window in a row, or in a row where the walk before noted
  // nothing: on to the next row that it noted.
  Step NextRow() {
    EndRow();
    do {
      if (++at.row == window_.endRow) return Step::kStop;
    } while (entries_[at.row - window_.firstRow].offset < 0);
    return BeginRow();
  }

  // A row of the window; from where the walk before noted it, if there was one.
  Step BeginRow() {
    for (; zeroedTo_ < at.row; ++zeroedTo_) std::memset(RowAt(zeroedTo_), 0, window_.rowBytes);
    zeroedTo_ = at.row + 1;
    target_ = RowAt(at.row);
    filled_ = 0;
    exitNoted_ = false;
    if (entries_ != nullptr) {
      at.x = entries_[at.row - window_.firstRow].x;
      jump_ = entries_[at.row - window_.firstRow].offset;
    }
    SetStop();
    return entries_ != nullptr ? Step::kJump : Step::kGoOn;
  }

  // Whether the runs that follow are gathered, and the pixel where that
  // changes or where the row's resume note falls.
  void SetStop() {
    const bool inRow = target_ != nullptr;
    gathering_ = inRow && at.x >= window_.firstPixel && at.x < gatherEnd_;
    const std::int64_t edge = at.x < window_.firstPixel ? window_.firstPixel : gatherEnd_;
    stop_ = !inRow
                ? kNoStop
                : std::min(exitNoted_ ? kNoStop : resumePixel, at.x < gatherEnd_ ? edge : kNoStop);
    if (!gathering_) return;
    const std::int64_t x = at.x - window_.firstPixel;
    std::memset(gathered_ + filled_, 0, static_cast<std::size_t>(x - filled_));
    filled_ = x;
  }

  // The pixels of `run` that lie in the window.
  void GatherPart(const Code& run) {
    const std::int64_t first = at.x - window_.firstPixel;
    const std::int64_t from = std::max<std::int64_t>(first, 0);
    const std::int64_t to = std::min(first + run.columns, gatherEnd_ - window_.firstPixel);
    if (from >= to) return;
    for (std::int64_t i = from; i < to; ++i)
      gathered_[i] = kRunPatterns.of[PairOf(run, i - first)][(i - first) % 2];
    filled_ = to;
  }

  void EndRow() {
    if (target_ == nullptr) return;
    std::memset(gathered_ + filled_, 0, static_cast<std::size_t>(2 * window_.rowBytes - filled_));
    PackRow(gathered_, target_, window_.rowBytes);
    target_ = nullptr;
    gathering_ = false;
  }

  std::uint8_t* RowAt(std::int64_t row) const {
    return window_.out + (row - window_.firstRow) * window_.rowBytes;
  }

  ByteStream& stream_;
  Window window_;
  std::int64_t gatherEnd_;          // the window's end, or the image's width where that comes first
  std::uint8_t* gathered_;          // the row being gathered, one pixel a byte
  std::uint8_t* target_ = nullptr;  // where it goes
  std::int64_t filled_ = 0;         // pixels of it set so far
  std::int64_t zeroedTo_;           // rows of the window before this one are written or zeroed
  const Note* entries_ = nullptr;   // where the walk before left each row
  InFile* source_ = nullptr;
  std::int64_t stop_ = kNoStop;
  std::int64_t jump_ = 0;  // where the stream goes on
  bool gathering_ = false, exitNoted_ = false, endOfBitmap_ = false;
};

class Rle4Source : public PixelRows {
 public:
  Rle4Source(const SourceGeometry& geometry, std::int64_t streamOffset, const ReadSizes& sizes)
      : geometry_(geometry), streamOffset_(streamOffset), sizes_(sizes) {}

  // One walk over the whole stream, noting where the bands of the plan
  // begin. The bitmap ends in the row the walk ends in: the bands past it
  // hold no pixel, and their starts were never reached.
  SourceCheck Check(InFile& source, const BandPlan& plan) override {
    if (!PlanBandStarts(plan) || !stream_.Allocate(sizes_.readBlock)) return SourceCheck::kNoMemory;
    Walk walk(stream_, kNoWindow, 0, nullptr);
    walk.starts = starts_.data();
    walk.startCount = startCount_;
    const WalkEnd end = walk.From(source, streamOffset_, {});
    if (end == WalkEnd::kUnreadable) return SourceCheck::kUnreadable;
    if (end != WalkEnd::kEndOfBitmap) return SourceCheck::kNotSixteenColours;
    endRow_ = walk.at.row;
    dataEnd_ = stream_.Offset();
    startCount_ = walk.noted;
    return SourceCheck::kUsable;
  }
  std::int64_t DataEnd() const override { return dataEnd_; }

  bool Reserve(std::int64_t rows, std::int64_t rowBytes) override {
    const auto notes = static_cast<std::size_t>(rows);
    return notes_[0].Reserve(notes) && notes_[1].Reserve(notes) &&
           gathered_.Reserve(static_cast<std::size_t>(2 * rowBytes + kGatherSlack));
  }

  // A fetch resumes the rows of the one before when it was of the same rows
  // and noted them where this one begins, or before.
  bool Read(InFile& source, std::int64_t firstStored, std::int64_t count, std::int64_t firstByte,
            std::int64_t rowBytes, std::int64_t resumeByte, std::uint8_t* out) override {
    if (!Reserve(count, rowBytes)) return false;
    const bool resumes =
        noted_.firstRow == firstStored && noted_.count == count && noted_.pixel <= 2 * firstByte;
    Walk walk(stream_, {firstStored, firstStored + count, 2 * firstByte, rowBytes, out},
              geometry_.width, gathered_.data());
    walk.exits = notes_[1 - current_].data();
    std::fill(walk.exits, walk.exits + count, Note());
    walk.resumePixel = 2 * resumeByte;
    WalkEnd end = WalkEnd::kStopped;
    if (resumes) {
      end = walk.Resume(source, notes_[current_].data());
    } else if (firstStored <= endRow_) {
      const BandStart start = StartOf(firstStored, walk);
      end = walk.From(source, start.offset, start.at);
      if (walk.starts != nullptr) passedCount_ = walk.noted;
    } else {
      walk.Finish();
    }
    noted_ = {};
    if (end == WalkEnd::kCutShort || end == WalkEnd::kUnreadable) return false;  // a file changed
    current_ = 1 - current_;
    noted_ = {firstStored, count, walk.resumePixel};
    return true;
  }

 private:
  // The stored rows where the plan's bands begin, lowest first: with more
  // bands than the sizes allow, every k-th one from the lowest. False when
  // memory runs out.
  bool PlanBandStarts(const BandPlan& plan) {
    startCount_ = passedCount_ = 0;
    bandRows_ = plan.rows;
    if (plan.count <= 0 || plan.rows <= 0 || plan.top >= geometry_.rowCount) return true;
    // Bands [first, end) hold rows of the image.
    const std::int64_t first = plan.top < 0 ? -plan.top / plan.rows : 0;
    const std::int64_t end =
        std::min(plan.count, (geometry_.rowCount - plan.top + plan.rows - 1) / plan.rows);
    if (first >= end) return true;
    const auto most = static_cast<std::int64_t>(std::max<std::size_t>(sizes_.notedStarts, 1));
    const std::int64_t step = (end - first + most - 1) / most;
    if (!starts_.Reserve(static_cast<std::size_t>((end - first + step - 1) / step)) ||
        !passed_.Reserve(static_cast<std::size_t>(step - 1))) {
      return false;
    }
    for (std::int64_t band = end - 1; band >= first; band -= step) {
      starts_[startCount_++] = {
          StoredRowsOf(geometry_, plan.top + band * plan.rows, plan.rows).first, 0, {}};
    }
    return true;
  }

  // The start of the band whose rows begin at stored row `row`: noted on the
  // way to the band before, or else the nearest below that the check noted.
  // On the way from there the walk notes the starts of the bands it passes,
  // those fetched next: the stream being bottom-up, each begins a band's rows
  // below the one after it.
  BandStart StartOf(std::int64_t row, Walk& walk) {
    if (passedCount_ > 0 && passed_[passedCount_ - 1].firstRow == row) {
      return passed_[--passedCount_];
    }
    const BandStart* const after =
        std::upper_bound(starts_.data(), starts_.data() + startCount_, row,
                         [](std::int64_t r, const BandStart& start) { return r < start.firstRow; });
    const BandStart start = after == starts_.data() ? BandStart{-1, streamOffset_, {}} : after[-1];
    const std::int64_t between = bandRows_ > 0 ? (row - start.firstRow - 1) / bandRows_ : 0;
    passedCount_ = 0;
    for (std::int64_t j = std::min<std::int64_t>(passed_.capacity(), between); j > 0; --j) {
      passed_[passedCount_++] = {row - j * bandRows_, 0, {}};
    }
    walk.starts = passed_.data();
    walk.startCount = passedCount_;
    return start;
  }

  SourceGeometry geometry_;
  std::int64_t streamOffset_;
  ReadSizes sizes_;
  ByteStream stream_;
  Buffer<BandStart> starts_;  // noted by the check, in stream order
  std::size_t startCount_ = 0;
  Buffer<BandStart> passed_;  // noted on the way from one of those to a band
  std::size_t passedCount_ = 0;
  std::int64_t bandRows_ = 0;
  std::int64_t endRow_ = 0;   // the stored row of the end-of-bitmap code
  std::int64_t dataEnd_ = 0;  // just past that code
  Buffer<std::uint8_t> gathered_;
  Buffer<Note> notes_[2];  // the last fetch's in notes_[current_]
  int current_ = 0;
  struct {
    std::int64_t firstRow = -1, count = 0, pixel = kNoStop;  // the notes lie before `pixel`
  } noted_;                                                  // the rows of the last fetch
};

}  // namespace

PixelRowsObject Rle4Rows(const SourceGeometry& geometry, std::int64_t streamOffset,
                         const ReadSizes& sizes) {
  return PixelRowsObject(NewObject<Rle4Source>(geometry, streamOffset, sizes));
}
