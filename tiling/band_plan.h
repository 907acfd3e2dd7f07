// Where the tiles of a region lie in the source, and how they are fetched:
// one band of rows for each row of tiles, top to bottom, each loaded in
// column groups of neighbouring tiles, left to right, as many tiles to a
// load as the band's memory cap allows.
#pragma once

#include <cstdint>

// A tile's width raised to a multiple of 8, as every 4-bit row is stored.
constexpr std::int64_t TileWidthFor(std::int32_t width) {
  return (std::int64_t{width} + 7) / 8 * 8;
}
// The tiles the program cuts: 300 x 300 pixels asked for, written 304 wide,
// one every 300 pixels in both directions.
constexpr std::int32_t kTileSize = 300;
constexpr std::int64_t kTileWidth = TileWidthFor(kTileSize);
constexpr std::int64_t kTileStep = 300;

// The source columns a tile covers: x made even, so the copy starts on a byte
// (two pixels share one), and the width raised to a multiple of 8.
struct TileColumns {
  std::int64_t first;
  std::int64_t width;
};
TileColumns ColumnsOfTile(std::int64_t x, std::int32_t width);

// Tiles [firstTile, firstTile + tiles) of a row of tiles, and the byte
// columns [firstByte, endByte) of a stored row that they cover.
struct ColumnGroup {
  std::int64_t firstTile = 0, tiles = 0;
  std::int64_t firstByte = 0, endByte = 0;
};

// Beyond every row and column of a source: no stream reaches it.
constexpr std::int64_t kNever = std::int64_t{1} << 62;

struct BandPlan {
  std::int64_t top = 0, rows = kTileSize,
               count = 0;              // the first band's top row; rows a band; bands
  std::int64_t left = 0, columns = 0;  // the first tile's left column; tiles a row
  std::int64_t groupTiles = 1;         // the most tiles one load takes

  std::int64_t GroupCount() const { return (columns + groupTiles - 1) / groupTiles; }
  ColumnGroup Group(std::int64_t index) const;
  // The first pixel of the first column group that begins after `pixel`;
  // kNever when none does.
  std::int64_t NextGroupPixel(std::int64_t pixel) const;
};

// The plan for the tiles with their top-left corners in [left, right) x
// [top, bottom), one every kTileStep pixels, with bands of at most
// `bandCapacity` bytes. No bands when the region is empty.
BandPlan PlanBands(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                   std::int64_t bandCapacity);
