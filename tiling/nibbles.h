// Packing pixels gathered one a byte (values 0 to 15) into the two-a-byte
// layout of a 4-bit row: byte i of the result is pixel 2i in its high
// nibble and pixel 2i + 1 in its low one.
#pragma once

#include <cstdint>

// The fastest way this processor has.
void PackNibbles(const std::uint8_t* pixels, std::uint8_t* packed, std::int64_t bytes);

// The way every processor has.
void PackNibblesPortably(const std::uint8_t* pixels, std::uint8_t* packed, std::int64_t bytes);
