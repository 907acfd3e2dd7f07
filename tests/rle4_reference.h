// RLE4 for the tests, written from the format and owing nothing to the
// program's decoder: a byte-at-a-time decoder of a whole image, and a writer
// of random streams that hold every kind of code real files hold.
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>

#include "tiling/source_image.h"

// The stored rows that `stream` sets in a `width` x `height` image, bottom
// row first, each (width + 7) / 8 * 4 bytes, two pixels a byte. Pixels that
// no code sets, and those past the width or the top, are 0. Nothing when the
// stream ends before its end-of-bitmap code, or inside a code.
std::optional<std::string> DecodeRle4(const std::string& stream, std::int32_t width,
                                      std::int32_t height);

// A random stream for a `width` x `height` image: encoded runs of 1 to 255
// pixels, absolute runs of 3 to 255, odd and even, deltas along a row and up
// across bands, rows that stop short of the width or run past it, and an
// end-of-bitmap code, often straight after a row's last run.
std::string RandomRle4Stream(std::mt19937& random, std::int32_t width, std::int32_t height);

// Whether every band of `plan`, fetched from `image` whole and then in
// column groups of `groupTiles` tiles, left to right as the grid fetches
// them (the plan's own groups, or others), holds the stored `rows` that the
// reference decodes. False too when a fetch fails.
bool BandsMatch(InFile& source, const SourceImage& image, const BandPlan& plan,
                std::int64_t groupTiles, const std::string& rows);
