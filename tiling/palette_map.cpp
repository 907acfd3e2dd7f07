#include "tiling/palette_map.h"

#include <algorithm>

bool MapValues(const bool* used, std::int64_t entries, PaletteMap& map) {
  std::uint8_t values[256];
  int count = 0;
  for (int value = 0; used != nullptr && value < 256; ++value) {
    if (used[value]) values[count++] = static_cast<std::uint8_t>(value);
  }
  if (count > 16) return false;
  const bool renumbered = count > 0 && values[count - 1] >= 16;
  map.count = renumbered ? count : static_cast<int>(std::min<std::int64_t>(entries, 16));
  for (int i = 0; i < map.count; ++i) {
    map.sourceIndex[i] = static_cast<std::uint8_t>(renumbered ? values[i] : i);
  }
  for (int value = 0; value < 256; ++value) map.fourBit[value] = value & 15;
  for (int i = 0; renumbered && i < count; ++i)
    map.fourBit[values[i]] = static_cast<std::uint8_t>(i);
  return true;
}
