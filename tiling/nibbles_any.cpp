#include "tiling/nibbles.h"

void PackNibbles(const std::uint8_t* pixels, std::uint8_t* packed, std::int64_t bytes) {
  PackNibblesPortably(pixels, packed, bytes);
}
