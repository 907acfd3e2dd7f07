// RLE4 and RLE8 for the tests, written from the format and owing nothing to
// the program's decoder: a byte-at-a-time decoder of a whole image, the rule
// by which 8-bit pixels become 4-bit ones, and a writer of random streams
// that hold every kind of code real files hold.
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>

#include "tiling/source_image.h"

// The pixels that `stream` sets in a `width` x `height` image of `bits` (4
// or 8) a pixel, a byte each: stored rows, the bottom one first, `width`
// pixels each. Pixels that no code sets, and those past the width or the
// top, are 0. Nothing when the stream ends before its end-of-bitmap code,
// or inside a code.
std::optional<std::string> DecodeRle(const std::string& stream, std::int32_t width,
                                     std::int32_t height, int bits);

// Those pixels as a 4-bit BMP stores them, two a byte, each row padded to a
// multiple of 8 pixels with 0. Values past 15 are first renumbered 0, 1,
// 2, ... in the order of the values used, as for any 8-bit source.
std::string FourBitRows(const std::string& pixels, std::int32_t width, std::int32_t height);

// A random stream for a `width` x `height` image of `bits` a pixel: encoded
// runs of 1 to 255 pixels, absolute runs of 3 to 255, odd and even, deltas
// along a row and up across bands, rows that stop short of the width or run
// past it, runs past the top, and an end-of-bitmap code, often straight
// after a row's last run. Pixels of 8 bits take 1 to 16 values, any of the 256, or of the
// first 16.
std::string RandomRleStream(std::mt19937& random, std::int32_t width, std::int32_t height,
                            int bits);

// Whether every band of `plan`, fetched from `image` whole and then in
// column groups of `groupTiles` tiles, left to right as the grid fetches
// them (the plan's own groups, or others), holds the stored 4-bit `rows`.
// False too when a fetch fails.
bool BandsMatch(InFile& source, const SourceImage& image, const BandPlan& plan,
                std::int64_t groupTiles, const std::string& rows);
