// The codes of an RLE4 stream (biCompression 2): what each one sets and how
// it moves the decoder. Where a code's parts lie in its bytes is known here
// and nowhere else.
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
  kIncomplete,  // the file ends inside the code
};

struct Code {
  Kind kind;
  int bytes;    // its length in the stream
  int columns;  // how far it moves the decoder right
  int rows;     // how far it moves the decoder up
  const std::uint8_t* at;
};

// Where the decoder stands between two codes.
struct Position {
  std::int64_t row = 0;  // stored row: 0 is the bottom one, the first in the file
  std::int64_t x = 0;    // pixel column
};

// The code at `at`, of which `available` bytes are at hand.
inline Code ReadCode(const std::uint8_t* at, std::size_t available) {
  const Code cutShort = {Kind::kIncomplete, 0, 0, 0, at};
  if (available < 2) return cutShort;
  const int first = at[0], second = at[1];
  if (first == 0 && second < 3) {
    if (second == 0) return {Kind::kEndOfLine, 2, 0, 1, at};
    if (second == 1) return {Kind::kEndOfBitmap, 2, 0, 0, at};
    return available < 4 ? cutShort : Code{Kind::kDelta, 4, at[2], at[3], at};
  }
  // Encoded: a count and two colours. Absolute: 0, a count, and the pixels
  // two a byte, padded to 16 bits.
  const bool encoded = first != 0;
  const int bytes = encoded ? 2 : 2 + (second + 3) / 4 * 2;
  if (available < static_cast<std::size_t>(bytes)) return cutShort;
  return {encoded ? Kind::kRun : Kind::kAbsolute, bytes, encoded ? first : second, 0, at};
}

inline bool IsRun(const Code& code) {
  return code.kind == Kind::kRun || code.kind == Kind::kAbsolute;
}

// The byte that holds pixel `i` of a run and its neighbour, the first of the
// two in its high nibble.
inline std::uint8_t PairOf(const Code& run, std::int64_t i) {
  return run.kind == Kind::kRun ? run.at[1] : run.at[2 + i / 2];
}

// Nearly every code of a stream is a run, and most runs are encoded: four
// codes are looked at at once, as one little-endian word of their 8 bytes
// whose 16-bit lanes hold a count in their low byte.
constexpr int kFourRunsBytes = 8;
inline std::uint64_t CountsOfFour(const std::uint8_t* at) {
  auto byte = [at](int i) { return std::uint64_t{at[i]} << 8 * i; };
  const std::uint64_t word =
      byte(0) | byte(1) | byte(2) | byte(3) | byte(4) | byte(5) | byte(6) | byte(7);
  return word & 0x00FF00FF00FF00FF;
}

// Whether the four codes are all encoded runs (no count is 0) of at most
// `kLongest` pixels. A lane's top bit is set by 0 - 1, or by adding what
// takes a count past `kLongest` to 0x8000; no count is past 255.
template <int kLongest>
inline bool FourEncodedRuns(std::uint64_t counts) {
  constexpr std::uint64_t kLaneOnes = 0x0001000100010001;
  constexpr std::uint64_t kPastLongest = (0x8000 - kLongest - 1) * kLaneOnes;
  const std::uint64_t pastLongest = kLongest < 255 ? counts + kPastLongest : 0;
  return (((counts - kLaneOnes) | pastLongest) & 0x8000800080008000) == 0;
}

inline int PixelsOfFour(std::uint64_t counts) {
  return static_cast<int>((counts * 0x0001000100010001) >> 48);
}

// The count and the colours of the `i`-th of four encoded runs at `at`.
inline int CountOfRun(const std::uint8_t* at, int i) {
  return at[2 * i];
}
inline std::uint8_t ColoursOfRun(const std::uint8_t* at, int i) {
  return at[2 * i + 1];
}

// Moves the decoder past `code`.
inline void Move(Position& at, const Code& code) {
  if (code.kind == Kind::kEndOfLine) at.x = 0;
  at.x += code.columns;
  at.row += code.rows;
}

}  // namespace rle4
