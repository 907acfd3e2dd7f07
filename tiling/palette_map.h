// How a source's pixel values become the 4-bit indices of its tiles, and
// which of the source's palette entries the tiles' palette takes: the rule
// for pixels of 8 bits, in one place.
#pragma once

#include <cstdint>

struct PaletteMap {
  int count = 0;                      // the source's entries the tiles take, in order
  std::uint8_t sourceIndex[16] = {};  // which entry each one is
  std::uint8_t fourBit[256] = {};     // the tiles' index of each pixel value
};

// The map of a source with `entries` palette entries whose pixels take the
// values marked in `used`, or any of the first 16 when `used` is null (as
// pixels of 4 bits or fewer do). At most 16 values: when all are below 16
// they stay as they are, and the tiles take the source's first entries;
// otherwise they are renumbered 0, 1, 2, ... in ascending order, and the
// tiles take the entries they name. False when more than 16 are used.
bool MapValues(const bool* used, std::int64_t entries, PaletteMap& map);
