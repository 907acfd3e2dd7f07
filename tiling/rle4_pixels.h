// A row of pixels as the RLE4 decoder gathers it, one pixel a byte, so
// that a run is one or two plain copies whatever its column, and its
// packing into two pixels a byte once the row is done. Only the decoder
// includes this; its functions are inline so that a code costs no call.
#pragma once

#include <cstdint>
#include <cstring>

#include "tiling/rle4_code.h"

namespace rle4 {

// A run of up to this many pixels is one copy.
constexpr int kPatternPixels = 16;

// For each code byte, its two colours in turn, one a byte: the first
// kPatternPixels pixels of an encoded run of that byte, and in its first
// two the byte's own pixels.
struct RunPatterns {
  std::uint8_t of[256][kPatternPixels];
};
constexpr RunPatterns MakeRunPatterns() {
  RunPatterns patterns = {};
  for (int colours = 0; colours < 256; ++colours) {
    for (int i = 0; i < kPatternPixels; ++i) {
      patterns.of[colours][i] = static_cast<std::uint8_t>(i % 2 != 0 ? colours & 15 : colours >> 4);
    }
  }
  return patterns;
}
inline constexpr RunPatterns kRunPatterns = MakeRunPatterns();

// Room past a gathered row for the copies of a run that reach beyond it.
constexpr std::int64_t kGatherSlack = kPatternPixels;

// Sets the pixels of `run` from `pixels` on. The copies may reach up to
// kPatternPixels - 1 past its end, which later pixels set again.
inline void GatherRun(std::uint8_t* pixels, const Code& run) {
  if (run.kind == Kind::kRun) {
    for (int i = 0; i < run.columns; i += kPatternPixels) {
      std::memcpy(pixels + i, kRunPatterns.of[PairOf(run, i)], kPatternPixels);
    }
  } else {
    for (int i = 0; i < run.columns; i += 2)
      std::memcpy(pixels + i, kRunPatterns.of[PairOf(run, i)], 2);
  }
}

// The same for four encoded runs at `codes` of at most kPatternPixels each;
// returns how many pixels they set.
inline int GatherFourRuns(std::uint8_t* pixels, const std::uint8_t* codes) {
  int at = 0;
  for (int i = 0; i < 4; ++i) {
    std::memcpy(pixels + at, kRunPatterns.of[ColoursOfRun(codes, i)], kPatternPixels);
    at += CountOfRun(codes, i);
  }
  return at;
}

// Two pixels a byte, the first in the high nibble. The compiler makes vector
// code of the loop where the processor has it.
inline void PackRow(const std::uint8_t* pixels, std::uint8_t* packed, std::int64_t bytes) {
  for (std::int64_t i = 0; i < bytes; ++i) {
    packed[i] = static_cast<std::uint8_t>(pixels[2 * i] << 4 | pixels[2 * i + 1]);
  }
}

}  // namespace rle4
