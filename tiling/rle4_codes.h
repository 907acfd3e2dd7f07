// The codes of an RLE4 stream and the walk over them, shared by the pass
// that checks and indexes a stream and the decoding of its bands.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fileio/file.h"

namespace rle4 {

// The longest code: an absolute run of 255 pixels, 128 bytes after its 2.
constexpr std::size_t kLongestCode = 2 + 128;

// The stream, read in large blocks from where it starts up to an optional
// limit, with positioned reads, so that two threads may read one file at
// once; codes are looked at in place.
class ByteStream {
 public:
  static constexpr std::size_t kBlock = 64 * 1024;

  void Start(InFile& file, std::int64_t offset, std::int64_t limit = INT64_MAX) {
    file_ = &file;
    bufferOffset_ = nextRead_ = offset;
    limit_ = limit;
    begin_ = end_ = 0;
    failed_ = false;
  }
  // Makes `wanted` bytes (at most kLongestCode) ready at Data() where the
  // file and the limit have them; returns how many are ready. failed()
  // tells an I/O error.
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
    while (end_ < wanted && nextRead_ < limit_) {
      const std::int64_t room = static_cast<std::int64_t>(kBlock - end_);
      std::uint32_t got = 0;
      if (!file_->ReadAt(nextRead_, buffer_.data() + end_,
                         static_cast<std::uint32_t>(std::min(room, limit_ - nextRead_)), got)) {
        failed_ = true;
        return;
      }
      if (got == 0) return;  // the end of the file
      end_ += got;
      nextRead_ += got;
    }
  }

  InFile* file_ = nullptr;
  std::vector<std::uint8_t> buffer_ = std::vector<std::uint8_t>(kBlock);
  std::int64_t bufferOffset_ = 0;  // file offset of buffer_[0]
  std::int64_t nextRead_ = 0, limit_ = INT64_MAX;
  std::size_t begin_ = 0, end_ = 0;
  bool failed_ = false;
};

// Where the decoder stands between two codes.
struct StreamPoint {
  std::int64_t offset;  // of the next code in the file
  std::int64_t row;     // stored row: 0 is the bottom one, the first in the file
  std::int64_t x;       // pixel column
};

enum class Decoded { kReachedRow, kEndOfBitmap, kCutShort, kUnreadable };

// The bytes an absolute run of `count` pixels takes after its 0 and count:
// two pixels a byte, padded to 16 bits.
constexpr std::ptrdiff_t AbsoluteBytes(int count) {
  return ((count + 1) / 2 + 1) & ~1;
}

// Decodes codes from `at` until the stored row reaches `endRow` or the
// bitmap ends, handing each row and run of pixels to `sink`. Codes are read
// straight from the stream's block. Runs, the bulk of any stream, go to the
// sink in stretches: it takes them up to the next other code, and only up
// to kLongestCode bytes before the block's end, so that it never has to ask
// whether a code is whole. A code astride the block's end waits for the next
// block.
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
      if (last - code > static_cast<std::ptrdiff_t>(kLongestCode)) {
        code = sink.Runs(code, last - kLongestCode, x);
        if (last - code < 2) break;  // the last run ended a byte short of the block's end
      }
      const int count = code[0], second = code[1];
      if (count > 0) {  // an encoded run: `count` pixels alternating between two
        sink.Encoded(x, count, second);
        x += count;
        code += 2;
      } else if (second == 0) {  // end of line
        sink.EndOfLine(++row);
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
      } else {  // an absolute run of `second` pixels
        const std::ptrdiff_t bytes = 2 + AbsoluteBytes(second);
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

// Most codes are encoded runs: they are looked at four at a time, as one
// little-endian word of their 8 bytes whose 16-bit lanes hold a count in
// their low byte and the pair of colours in their high byte.
inline std::uint64_t FourCodes(const std::uint8_t* code) {
  std::uint64_t word = 0;
  for (int i = 7; i >= 0; --i) word = word << 8 | code[i];
  return word;
}
constexpr std::uint64_t kCounts = 0x00FF00FF00FF00FF;
constexpr std::uint64_t kLaneOnes = 0x0001000100010001;
constexpr std::uint64_t kLaneTops = 0x8000800080008000;

// True when no count is 0, so that the four codes are all encoded runs, and
// (with `longest` 16) none is longer than that. A lane's top bit is set by
// 0 - 1, or by adding what takes a count above `longest` to 0x8000.
inline bool FourRuns(std::uint64_t counts, std::uint64_t longest = 255) {
  const std::uint64_t overLongest = (0x8000 - longest - 1) * kLaneOnes;
  return (((counts - kLaneOnes) | (counts + overLongest)) & kLaneTops) == 0;
}

inline int SumOfCounts(std::uint64_t counts) {
  return static_cast<int>((counts * kLaneOnes) >> 48);
}

// Walks runs, encoded and absolute, from `code` while they begin before
// `limit`, each of them whole; returns the first other code, or the first
// code at or past `limit`, `x` moved past the runs.
inline const std::uint8_t* SkipRuns(const std::uint8_t* code, const std::uint8_t* limit,
                                    std::int64_t& x) {
  std::int64_t pixels = 0;  // kept apart from `x`, which the stream's bytes might alias
  while (code < limit) {
    const std::uint64_t counts = FourCodes(code) & kCounts;
    if (FourRuns(counts)) {
      pixels += SumOfCounts(counts);
      code += 8;
      continue;
    }
    const int count = code[0], second = code[1];
    if (count > 0) {
      pixels += count;
      code += 2;
    } else if (second >= 3) {
      pixels += second;
      code += 2 + AbsoluteBytes(second);
    } else {
      break;
    }
  }
  x += pixels;
  return code;
}

// Walks codes without pixels; counts the line ends it passes in `lines`.
struct NoPixels {
  std::int64_t lines = 0;
  void StartRow(std::int64_t) {}
  void EndOfLine(std::int64_t) { ++lines; }
  void Finish() {}
  const std::uint8_t* Runs(const std::uint8_t* code, const std::uint8_t* limit, std::int64_t& x) {
    return SkipRuns(code, limit, x);
  }
  void Encoded(std::int64_t, int, int) {}
  void Absolute(std::int64_t, int, const std::uint8_t*) {}
};

// One code from `at`, as Decode would take it, with no sink: the walk that
// must stop at every code boundary. kReachedRow when a code was taken.
inline Decoded Step(ByteStream& in, StreamPoint& at, std::int64_t& lines) {
  const std::size_t ready = in.Fill(kLongestCode);
  const std::uint8_t* const code = in.Data();
  const int count = ready >= 2 ? code[0] : 0, second = ready >= 2 ? code[1] : 0;
  std::size_t bytes = 2;
  if (second == 2 && count == 0) bytes = 4;
  if (second >= 3 && count == 0) bytes = 2 + static_cast<std::size_t>(AbsoluteBytes(second));
  if (ready < bytes) return in.failed() ? Decoded::kUnreadable : Decoded::kCutShort;
  in.Skip(bytes);
  if (count > 0) {
    at.x += count;
  } else if (second == 0) {
    ++at.row;
    at.x = 0;
    ++lines;
  } else if (second == 2) {
    at.x += code[2];
    at.row += code[3];
  } else if (second >= 3) {
    at.x += second;
  }
  at.offset = in.Offset();
  return count == 0 && second == 1 ? Decoded::kEndOfBitmap : Decoded::kReachedRow;
}

}  // namespace rle4
