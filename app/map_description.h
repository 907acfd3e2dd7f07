// The map description: a text file whose line 1 names the source bitmap,
// line 2 holds the region's first corner "x,y" and line 5 its second corner;
// lines 3, 4, 6 and 7 are read and ignored.
#pragma once

#include <cstddef>
#include <cstdint>

#include "fileio/text.h"

// Lines 2 to 7 are read into buffers of this size; a longer line is cut,
// long past any number it can hold.
constexpr std::size_t kTextCapacity = 256;

struct Region {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// As C's atoi: leading white space, an optional sign, decimal digits up to
// the first other character; no digits give 0. Out-of-range numbers wrap
// modulo 2^32 rather than overflow.
std::int32_t ParseInteger(const char* text);

// Reads lines 2 to 7 (line 1 has been read already). Missing lines read as
// empty, so their values are 0; a line without a comma gives y = 0.
Region ReadRegion(TextReader& mapText);
