#include "app/tile_grid.h"

#include <algorithm>

#include "app/interruptions.h"
#include "app/messages.h"
#include "app/path_text.h"
#include "fileio/text.h"
#include "tiling/extract_tile.h"

namespace {

constexpr std::int32_t kTileStep = 300;

// The decimal digits of a count, which is never negative.
struct Decimal {
  explicit Decimal(int value) {
    char reversed[sizeof digits];
    int count = 0;
    do {
      reversed[count++] = static_cast<char>('0' + value % 10);
      value /= 10;
    } while (value > 0);
    for (int i = 0; i < count; ++i) digits[i] = reversed[count - 1 - i];
    digits[count] = '\0';
  }
  char digits[12];
};

// The name "%s tile %i,%i.bmp" gives, built without printf, whose library
// code would be most of the Windows program. False when the name would be
// too long: a cut name would be some other file.
bool FormatTileName(char (&name)[kPathBytes], const char* stem, int column, int row) {
  std::size_t length = 0;
  return AppendText(stem, name, sizeof name, length) &&
         AppendText(" tile ", name, sizeof name, length) &&
         AppendText(Decimal(column).digits, name, sizeof name, length) &&
         AppendText(",", name, sizeof name, length) &&
         AppendText(Decimal(row).digits, name, sizeof name, length) &&
         AppendText(".bmp", name, sizeof name, length) && PathLength(name) <= kMaxPathCharacters;
}

struct GridCell {
  int column, row;
  std::int32_t x, y;
};

// Creates, fills and closes one tile; an unfinished tile is removed again.
const char* WriteTile(const SourceImage& image, const Band& band, OutFile& tile, const char* name,
                      GridCell cell, TileBuffer& buffer) {
  if (!tile.Open(name)) return kCannotOpenTile;
  const bool written = ExtractTile(image, band, tile, cell.x, cell.y, kTileSize, kTileSize, buffer);
  if (tile.Close() && written) return nullptr;
  RemoveFile(name);
  return kCannotWriteTile;
}

// An interruption waits while the tile is open, so that a file with a
// tile's name always holds a whole tile: the new one, or the old one when
// the signal came before it was opened.
const char* CutTile(const SourceImage& image, const Band& band, OutFile& tile, const char* stem,
                    GridCell cell, TileBuffer& buffer) {
  char name[kPathBytes];
  if (!FormatTileName(name, stem, cell.column, cell.row)) return kCannotOpenTile;
  HoldInterruptions();
  const char* failure = WriteTile(image, band, tile, name, cell, buffer);
  ReleaseInterruptions();
  return failure;
}

// The byte columns that `count` neighbouring tiles from x on cover.
void BytesOfTiles(std::int64_t x, std::int64_t count, std::int64_t& firstByte,
                  std::int64_t& endByte) {
  const TileColumns first = ColumnsOfTile(x, kTileSize);
  const TileColumns last = ColumnsOfTile(x + (count - 1) * kTileStep, kTileSize);
  firstByte = first.first / 2;
  endByte = (last.first + last.width) / 2;
}

// Every buffer the grid needs, taken before its first tile, so that running
// out of memory never costs a tile: loads are at most `tilesPerLoad` tiles wide.
bool ReserveRoom(const SourceImage& image, const Region& region, std::int64_t tilesPerLoad,
                 Band& band, TileBuffer& buffer) {
  if (BandsOf(region).count == 0) return true;  // no tile
  const std::int64_t columns =
      (std::int64_t{region.right} - region.left + kTileStep - 1) / kTileStep;
  std::int64_t firstByte, endByte;
  BytesOfTiles(region.left, std::min(columns, tilesPerLoad), firstByte, endByte);
  return band.Reserve(image, kTileSize, firstByte, endByte) &&
         buffer.Reserve(
             static_cast<std::size_t>(TileBufferBytes(image.header, kTileSize, kTileSize)));
}

}  // namespace

BandPlan BandsOf(const Region& region) {
  if (region.left >= region.right || region.top >= region.bottom) return {};
  return {region.top, kTileSize,
          (std::int64_t{region.bottom} - region.top + kTileStep - 1) / kTileStep};
}

// The corners are stepped in 64 bits, so a region reaching up to 2^31 - 1
// ends its loops instead of wrapping. Each row of tiles reads its band of the
// source once (in column groups when the band would not fit the cap).
const char* CutTileGrid(const SourceImage& image, InFile& source, OutFile& tile,
                        const Region& region, const char* stem, std::int64_t bandCapacity) {
  Band band(bandCapacity);
  TileBuffer buffer;
  const std::int64_t tilesPerLoad = band.TilesPerLoad(kTileSize, kTileWidth / 2, kTileStep / 2);
  if (!ReserveRoom(image, region, tilesPerLoad, band, buffer)) return kNotEnoughMemory;
  int row = 0;
  for (std::int64_t y = region.top; y < region.bottom; y += kTileStep, ++row) {
    int column = 0;
    for (std::int64_t x = region.left; x < region.right;) {
      const std::int64_t tilesLeft = (region.right - x + kTileStep - 1) / kTileStep;
      const std::int64_t tiles = std::min(tilesLeft, tilesPerLoad);
      std::int64_t firstByte, endByte, resumeByte, unused;
      BytesOfTiles(x, tiles, firstByte, endByte);
      resumeByte = endByte;
      if (tiles < tilesLeft) BytesOfTiles(x + tiles * kTileStep, 1, resumeByte, unused);
      if (!band.Load(source, image, y, kTileSize, firstByte, endByte, resumeByte)) {
        return kCannotReadSource;
      }
      for (std::int64_t i = 0; i < tiles; ++i, x += kTileStep, ++column) {
        const GridCell cell = {column, row, static_cast<std::int32_t>(x),
                               static_cast<std::int32_t>(y)};
        if (const char* failure = CutTile(image, band, tile, stem, cell, buffer)) return failure;
      }
    }
  }
  return nullptr;
}
