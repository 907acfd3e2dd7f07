// Cutting one tile out of the source bitmap into a complete bitmap file.
#pragma once

#include <cstdint>

#include "fileio/file.h"
#include "tiling/image_header.h"

enum class TileResult { kWritten, kSourceUnreadable, kTileUnwritable };

// The header a tile of `tileWidth` x `height` pixels carries: the source's,
// with the tile's size, a 40-byte info header and no image size.
ImageHeader TileHeaderFor(const ImageHeader& source, std::int32_t tileWidth, std::int32_t height);

// Writes the tile whose top-left corner is source pixel (x, y) into `tile`,
// which has just been created: `width` is raised to a multiple of 8 and x made
// even, so the copy starts on a byte. Tile rows are stored bottom-up whatever
// the source's order. `header` must have passed LoadImageHeader.
TileResult ExtractTile(const ImageHeader& header, InFile& source, OutFile& tile, std::int32_t x,
                       std::int32_t y, std::int32_t width, std::int32_t height);
