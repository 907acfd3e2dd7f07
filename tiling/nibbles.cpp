#include "tiling/nibbles.h"

void PackNibblesPortably(const std::uint8_t* pixels, std::uint8_t* packed, std::int64_t bytes) {
  for (std::int64_t i = 0; i < bytes; ++i) {
    packed[i] = static_cast<std::uint8_t>(pixels[2 * i] << 4 | pixels[2 * i + 1]);
  }
}
