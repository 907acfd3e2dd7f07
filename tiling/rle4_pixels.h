// The pixels that an RLE4 stream's codes set, written into a band of rows
// in the layout PixelRows promises. Only the decoder includes this; its
// functions are inline so that a code costs no call.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "tiling/rle4_code.h"

namespace rle4 {

// For each code byte, its two colours in turn, one a byte, 16 pixels long:
// a run of up to 16 is one copy, and its first two are the byte's pixels.
struct RunPatterns {
  std::uint8_t of[256][16];
};
constexpr RunPatterns MakeRunPatterns() {
  RunPatterns patterns = {};
  for (int colours = 0; colours < 256; ++colours) {
    for (int i = 0; i < 16; ++i) {
      patterns.of[colours][i] = static_cast<std::uint8_t>(i % 2 != 0 ? colours & 15 : colours >> 4);
    }
  }
  return patterns;
}
inline constexpr RunPatterns kRunPatterns = MakeRunPatterns();

// Stored rows [firstRow, endRow); pixels [firstPixel, firstPixel + 2 x
// rowBytes) of each, rows `stride` bytes apart.
struct BandWindow {
  std::int64_t firstRow, endRow, firstPixel, rowBytes, stride;
};

// The decoder's walker for one band. Codes set pixels left to right and
// rows bottom to top, so each row of the band is written in one sweep: the
// pixels between those set are 0, as are the rows that no code reaches, and
// pixels outside the window, or past the image's width, are dropped. A row
// is gathered one pixel a byte, so that a run is one or two plain copies
// whatever its column, and packed two pixels a byte once it ends.
class BandPixels {
 public:
  // `gathered` has room for GatheredBytes(window.rowBytes).
  BandPixels(const BandWindow& window, std::int64_t imageWidth, std::uint8_t* out,
             std::uint8_t* gathered)
      : window_(window),
        pixels_(std::clamp<std::int64_t>(imageWidth - window.firstPixel, 0, 2 * window.rowBytes)),
        out_(out),
        gathered_(gathered),
        zeroedTo_(window.firstRow) {}

  // A row of `rowBytes` one pixel a byte, and room for the copies of a run
  // that reach past its end.
  static constexpr std::int64_t GatheredBytes(std::int64_t rowBytes) { return 2 * rowBytes + 16; }

  // Sets the runs that follow one another from `code` on, while each begins
  // before `limit` and goes on where the pixels set so far end, inside the
  // image; returns the first code it left, x moved past the runs. Most of a
  // stream goes through here, its state in locals: pixel stores could alias
  // members. Copies may reach past a run's end, which later pixels set again.
  const std::uint8_t* Runs(const std::uint8_t* code, const std::uint8_t* limit, std::int64_t& x) {
    std::int64_t at = x - window_.firstPixel;
    if (target_ == nullptr || at != filled_) return code;
    std::uint8_t* const row = gathered_;
    while (code < limit) {
      const std::uint64_t counts = CountsOfFour(code);
      if (FourEncodedRuns(counts, 16) && at + PixelsOfFour(counts) <= pixels_) {
        for (int i = 0; i < 8; i += 2) {
          std::memcpy(row + at, kRunPatterns.of[code[i + 1]], 16);
          at += code[i];
        }
        code += 8;
        continue;
      }
      const Code run = ReadCode(code, kLongestCode);
      if (at + run.columns > pixels_) break;
      if (run.kind == Kind::kRun) {
        for (int i = 0; i < run.columns; i += 16) {
          std::memcpy(row + at + i, kRunPatterns.of[code[1]], 16);
        }
      } else if (run.kind == Kind::kAbsolute) {  // at least 3 pixels: two bytes and more
        for (int i = 0; i < run.columns; i += 2) {
          std::memcpy(row + at + i, kRunPatterns.of[code[2 + i / 2]], 2);
        }
      } else {
        break;
      }
      at += run.columns;
      code += run.bytes;
    }
    filled_ = at;
    x = at + window_.firstPixel;
    return code;
  }

  // Any other code: a run that reaches outside the window (only its pixels
  // inside are set), or one that moves the decoder.
  void Take(const Code& code, const std::uint8_t* bytes, std::int64_t x) {
    if (target_ == nullptr || (code.kind != Kind::kRun && code.kind != Kind::kAbsolute)) return;
    const std::int64_t at = x - window_.firstPixel;
    const std::int64_t from = std::max<std::int64_t>(at, 0);
    const std::int64_t to = std::min(at + code.columns, pixels_);
    if (from >= to) return;
    std::memset(gathered_ + filled_, 0, static_cast<std::size_t>(from - filled_));
    for (std::int64_t i = from - at; i < to - at; ++i) {
      const std::uint8_t pair = code.kind == Kind::kRun ? bytes[1] : bytes[2 + i / 2];
      gathered_[at + i] = kRunPatterns.of[pair][i % 2];
    }
    filled_ = to;
  }

  // The decoder has moved up to `at`: rows it passed are finished. Whether
  // the band wants codes from there on.
  bool MovedUp(const Position& at, std::int64_t) {
    EndRow();
    for (; zeroedTo_ < std::min(at.row, window_.endRow); ++zeroedTo_) {
      std::memset(RowAt(zeroedTo_), 0, static_cast<std::size_t>(window_.rowBytes));
    }
    if (at.row >= window_.firstRow && at.row < window_.endRow) {
      target_ = RowAt(at.row);
      filled_ = 0;
      zeroedTo_ = at.row + 1;
    }
    return at.row < window_.endRow;
  }

  // Zeros the rest of the band.
  void Finish() { MovedUp({window_.endRow, 0}, 0); }

 private:
  std::uint8_t* RowAt(std::int64_t row) const {
    return out_ + (row - window_.firstRow) * window_.stride;
  }

  // Packs the row gathered, its unset pixels 0, into its place: two pixels
  // a byte, the first in the high nibble. The compiler makes vector code of
  // the loop where the processor has it.
  void EndRow() {
    if (target_ == nullptr) return;
    const std::uint8_t* const pixels = gathered_;
    std::uint8_t* const packed = target_;
    const std::int64_t bytes = window_.rowBytes;
    std::memset(gathered_ + filled_, 0, static_cast<std::size_t>(2 * bytes - filled_));
    for (std::int64_t i = 0; i < bytes; ++i) {
      packed[i] = static_cast<std::uint8_t>(pixels[2 * i] << 4 | pixels[2 * i + 1]);
    }
    target_ = nullptr;
  }

  BandWindow window_;
  std::int64_t pixels_;  // the window's pixels that lie in the image
  std::uint8_t* out_;
  std::uint8_t* gathered_;          // the row being gathered, one pixel a byte
  std::uint8_t* target_ = nullptr;  // where it goes, while it is one of the band's
  std::int64_t filled_ = 0;         // pixels of it set so far
  std::int64_t zeroedTo_;           // rows before this one are written or zeroed
};

}  // namespace rle4
