// The codes of a run-length encoded bitmap, RLE4 (biCompression 2) or RLE8
// (1): what each one is, and the one rule by which it moves the decoder.
// Where a code's parts lie in its bytes is known here and nowhere else.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tiling/band_plan.h"

namespace rle {

// The longest code: an absolute run of 255 pixels of 8 bits, padded to 16 bits.
constexpr std::size_t kLongestCode = 2 + 256;

enum class Kind { kEncoded, kAbsolute, kEndOfLine, kDelta, kEndOfBitmap, kCutShort };

// A code `bytes` long in the stream, at `at`, that moves the decoder
// `columns` right (a run's pixels, a delta's columns) and `rows` up.
struct Code {
  Kind kind;
  int bytes, columns, rows;
  const std::uint8_t* at;
  bool IsRun() const { return kind == Kind::kEncoded || kind == Kind::kAbsolute; }
};

// The decoder's exact state before a code: the code's offset in the file
// (-1 for no cursor), its stored row (0 is the bottom one, the first in the
// file) and its column.
struct Cursor {
  std::int64_t offset = -1, row = 0, x = 0;
};

// The code at `at`, of which `available` bytes are at hand, in a stream of
// `bits` (4 or 8) a pixel. An encoded run is a count and the colours it
// repeats; an absolute run is 0, a count and the pixels, padded to 16 bits.
inline Code ReadCode(const std::uint8_t* at, std::size_t available, int bits) {
  const Code cutShort = {Kind::kCutShort, 0, 0, 0, at};
  if (available < 2) return cutShort;
  const int first = at[0], second = at[1];
  if (first != 0) [[likely]]
    return {Kind::kEncoded, 2, first, 0, at};
  if (second == 0) return {Kind::kEndOfLine, 2, 0, 1, at};
  if (second == 1) return {Kind::kEndOfBitmap, 2, 0, 0, at};
  if (second == 2) return available < 4 ? cutShort : Code{Kind::kDelta, 4, at[2], at[3], at};
  const int bytes = 2 + (second * bits + 15) / 16 * 2;
  return available < static_cast<std::size_t>(bytes) ? cutShort
                                                     : Code{Kind::kAbsolute, bytes, second, 0, at};
}

// Past `code`: an end of line goes to the start of the next row, a delta
// right and up, a run right.
inline void Move(Cursor& at, const Code& code) {
  at.offset += code.bytes;
  if (code.kind == Kind::kEndOfLine) at.x = 0;
  at.x += code.columns;
  at.row += code.rows;
}

}  // namespace rle
