#include "app/tile_grid.h"

#include <algorithm>

#include "app/interruptions.h"
#include "app/messages.h"
#include "app/path_text.h"
#include "fileio/text.h"
#include "tiling/extract_tile.h"

namespace {

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

// Every buffer the grid needs, taken before its first tile, so that running
// out of memory never costs a tile.
bool ReserveRoom(const SourceImage& image, const BandPlan& plan, Band& band, TileBuffer& buffer) {
  if (plan.count == 0) return true;  // no tile
  return band.Reserve(image, plan) && buffer.Reserve(static_cast<std::size_t>(
                                          TileBufferBytes(image.header, kTileSize, kTileSize)));
}

}  // namespace

BandPlan BandsOf(const Region& region, std::int64_t bandCapacity) {
  return PlanBands(region.left, region.top, region.right, region.bottom, bandCapacity);
}

// Each row of tiles reads its band of the source once, in column groups when
// the band would not fit the cap. Corners are computed in 64 bits, so a
// region reaching up to 2^31 - 1 ends its loops instead of wrapping.
const char* CutTileGrid(const SourceImage& image, InFile& source, OutFile& tile,
                        const Region& region, const char* stem, const ReadSizes& sizes) {
  const BandPlan plan = BandsOf(region, sizes.bandCapacity);
  Band band(sizes.bandCapacity);
  TileBuffer buffer;
  if (!ReserveRoom(image, plan, band, buffer)) return kNotEnoughMemory;
  for (std::int64_t row = 0; row < plan.count; ++row) {
    const std::int64_t y = plan.top + row * kTileStep;
    for (std::int64_t index = 0; index < plan.GroupCount(); ++index) {
      const ColumnGroup group = plan.Group(index);
      if (!band.Load(source, image, y, plan.rows, group.firstByte, group.endByte)) {
        return kCannotReadSource;
      }
      for (std::int64_t column = group.firstTile; column < group.firstTile + group.tiles;
           ++column) {
        const GridCell cell = {static_cast<int>(column), static_cast<int>(row),
                               static_cast<std::int32_t>(plan.left + column * kTileStep),
                               static_cast<std::int32_t>(y)};
        if (const char* failure = CutTile(image, band, tile, stem, cell, buffer)) return failure;
      }
    }
  }
  return nullptr;
}
