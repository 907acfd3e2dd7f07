// The codes of an RLE4 stream (biCompression 2): what each one sets and how
// it moves the decoder. The pass that checks a stream and the decoding of
// its bands read them here, and nowhere else.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rle4 {

// The longest code: an absolute run of 255 pixels, 128 bytes after its two.
constexpr std::size_t kLongestCode = 2 + 128;

enum class Kind {
  kRun,        // `columns` pixels alternating between the two colours of its second byte
  kAbsolute,   // `columns` pixels, two a byte, from its third byte on
  kEndOfLine,  // to the start of the next row
  kDelta,      // `columns` to the right and `rows` up
  kEndOfBitmap,
  kIncomplete,  // the bytes at hand end inside the code
};

struct Code {
  Kind kind;
  int bytes;    // its length in the stream
  int columns;  // how far it moves the decoder right
  int rows;     // how far it moves the decoder up
};

// Where the decoder stands between two codes.
struct Position {
  std::int64_t row = 0;  // stored row: 0 is the bottom one, the first in the file
  std::int64_t x = 0;    // pixel column
};

// The code at `at`, of which `available` bytes are at hand.
inline Code ReadCode(const std::uint8_t* at, std::size_t available) {
  constexpr Code kCutShort = {Kind::kIncomplete, 0, 0, 0};
  if (available < 2) return kCutShort;
  const int first = at[0], second = at[1];
  if (first == 0 && second < 3) {
    if (second == 0) return {Kind::kEndOfLine, 2, 0, 1};
    if (second == 1) return {Kind::kEndOfBitmap, 2, 0, 0};
    return available < 4 ? kCutShort : Code{Kind::kDelta, 4, at[2], at[3]};
  }
  // Encoded: a count and two colours. Absolute: 0, a count, and the pixels
  // two a byte, padded to 16 bits.
  const bool encoded = first != 0;
  const int bytes = encoded ? 2 : 2 + (second + 3) / 4 * 2;
  if (available < static_cast<std::size_t>(bytes)) return kCutShort;
  return {encoded ? Kind::kRun : Kind::kAbsolute, bytes, encoded ? first : second, 0};
}

// Nearly every code of a stream is a run, and most runs are encoded: four
// codes are looked at at once, as one little-endian word of their 8 bytes
// whose 16-bit lanes hold a count in their low byte.
inline std::uint64_t CountsOfFour(const std::uint8_t* at) {
  std::uint64_t word = 0;
  for (int i = 7; i >= 0; --i) word = word << 8 | at[i];
  return word & 0x00FF00FF00FF00FF;
}

// Whether the four codes are all encoded runs (no count is 0) of at most
// `longest` pixels. A lane's top bit is set by 0 - 1, or by adding what
// takes a count past `longest` to 0x8000.
inline bool FourEncodedRuns(std::uint64_t counts, int longest) {
  constexpr std::uint64_t kLaneOnes = 0x0001000100010001;
  const std::uint64_t pastLongest = (0x8000 - static_cast<std::uint64_t>(longest) - 1) * kLaneOnes;
  return (((counts - kLaneOnes) | (counts + pastLongest)) & 0x8000800080008000) == 0;
}

inline int PixelsOfFour(std::uint64_t counts) {
  return static_cast<int>((counts * 0x0001000100010001) >> 48);
}

// Moves the decoder past `code`.
inline void Move(Position& at, const Code& code) {
  if (code.kind == Kind::kEndOfLine) at.x = 0;
  at.x += code.columns;
  at.row += code.rows;
}

}  // namespace rle4
