// Cutting one tile out of the source bitmap into a complete bitmap file.
#pragma once

#include <cstdint>

#include "fileio/buffer.h"
#include "fileio/file.h"
#include "tiling/band.h"
#include "tiling/band_plan.h"
#include "tiling/image_header.h"
#include "tiling/source_image.h"

// The header a tile of `tileWidth` x `height` pixels carries: the source's
// in its plain form, with the tile's size, no image size and the file's true
// length.
ImageHeader TileHeaderFor(const ImageHeader& source, std::int32_t tileWidth, std::int32_t height);

// Where a tile is put together before its write; reused from tile to tile so
// that cutting a tile allocates and clears nothing it does not have to.
using TileBuffer = Buffer<std::uint8_t>;

// The room in a TileBuffer that a tile of `width` x `height` pixels of
// `image` needs.
std::int64_t TileBufferBytes(const ImageHeader& header, std::int32_t width, std::int32_t height);

// Writes the tile of `image` whose top-left corner is source pixel (x, y)
// into `tile`, which has just been created, from `band`, which holds the
// source rows and columns the tile covers. Tile rows are stored bottom-up
// whatever the source's order. False when the tile could not be written.
bool ExtractTile(const SourceImage& image, const Band& band, OutFile& tile, std::int32_t x,
                 std::int32_t y, std::int32_t width, std::int32_t height, TileBuffer& buffer);
