// The band-reading tile grid against the straightforward design it replaces:
// one positioned read per tile row, straight from the file. Every tile byte
// must agree, over randomised sources, regions and band caps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <set>

#include "app/messages.h"
#include "app/tile_grid.h"
#include "tests/grid_cuts.h"
#include "tests/test_bitmaps.h"
#include "tiling/extract_tile.h"

namespace {

constexpr int kTileBytesPerRow = 152;

// The tile's header, written out from the format: the source's fields in
// their 40-byte form, with the tile's size, its true length and no image
// size, then the 64 bytes from the start of the source's palette.
std::string TileHeader(const std::string& source, const BitmapShape& shape) {
  std::string header = "BM";
  auto u32 = [&header](std::uint32_t value) {
    for (int i = 0; i < 4; ++i) header += static_cast<char>(value >> 8 * i);
  };
  const std::uint32_t offBits = 54 + 4 * shape.paletteEntries + shape.gapAfterPalette;
  u32(offBits + kTileBytesPerRow * 300);
  header += source.substr(6, 4);  // the reserved words
  u32(offBits);
  u32(40);
  u32(304);
  u32(300);
  header += source.substr(26, 4);   // planes and bits per pixel
  u32(0);                           // no compression
  u32(0);                           // nor image size
  header += source.substr(38, 16);  // resolutions, colours used and important
  std::string palette = source.substr(14 + shape.infoHeaderSize, 64);
  palette.resize(64, '\0');  // past the end of a tiny file
  return header + palette;
}

// The straightforward cut of tile (x, y): header, zeros up to bfOffBits, then
// 300 rows bottom-up, each read from its own computed file offset.
std::string ReferenceTile(const std::string& bitmap, const BitmapShape& shape, InFile& source,
                          std::int64_t x, std::int64_t y) {
  const std::int64_t first = x - x % 2;
  const std::int64_t storedWidth = (std::int64_t{shape.width} + 7) / 8 * 8;
  const std::int64_t rows = shape.height;
  const std::size_t offBits = 54 + 4 * shape.paletteEntries + shape.gapAfterPalette;
  const std::int64_t filePixelOffset =
      14 + shape.infoHeaderSize + 4 * shape.paletteEntries + shape.gapAfterPalette;

  std::string tile(std::max<std::size_t>(118, offBits + kTileBytesPerRow * 300), '\0');
  tile.replace(0, 118, TileHeader(bitmap, shape));
  tile.replace(offBits, kTileBytesPerRow * 300, kTileBytesPerRow * 300, '\0');
  for (int i = 0; i < 300; ++i) {
    const std::int64_t row = y + i;
    const std::int64_t begin = std::max<std::int64_t>(first, 0);
    const std::int64_t end = std::min(first + 304, storedWidth);
    if (row < 0 || row >= rows || begin >= end) continue;
    const std::int64_t stored = shape.topDown ? row : rows - 1 - row;
    const std::int64_t offset = filePixelOffset + stored * storedWidth / 2 + begin / 2;
    char buffer[kTileBytesPerRow];
    EXPECT_TRUE(source.SetPosition(offset));
    EXPECT_TRUE(source.Read(buffer, static_cast<std::uint32_t>((end - begin) / 2)));
    tile.replace(offBits + (299 - i) * kTileBytesPerRow + (begin - first) / 2, (end - begin) / 2,
                 buffer, (end - begin) / 2);
  }
  return tile;
}

struct Case {
  BitmapShape shape;
  Region region;
  std::int64_t bandCapacity;
};

// Cuts the grid both ways and compares every tile; returns the tile count.
int ExpectGridMatchesReference(const Case& c) {
  TempDir dir;
  const std::string bitmap = MakeBitmap(c.shape);
  WriteBytes(dir.Path("area.bmp"), bitmap);
  InFile source;
  EXPECT_TRUE(source.Open(dir.Path("area.bmp").c_str()));
  ReadSizes sizes;
  sizes.bandCapacity = c.bandCapacity;
  SourceImage image;
  EXPECT_EQ(LoadSourceImage(source, image, BandsOf(c.region, c.bandCapacity), sizes),
            SourceCheck::kUsable);
  OutFile tile;
  const std::string stem = dir.Path("area");
  EXPECT_EQ(CutTileGrid(image, source, tile, c.region, stem.c_str(), sizes), nullptr);

  int tiles = 0;
  for (std::int64_t y = c.region.top, row = 0; y < c.region.bottom; y += 300, ++row) {
    for (std::int64_t x = c.region.left, column = 0; x < c.region.right; x += 300, ++column) {
      char name[512];
      std::snprintf(name, sizeof name, "%s tile %d,%d.bmp", stem.c_str(), static_cast<int>(column),
                    static_cast<int>(row));
      const std::string expected = ReferenceTile(bitmap, c.shape, source, x, y);
      if (ReadBytes(name) != expected) {
        ADD_FAILURE() << "tile " << column << "," << row << " differs";
        return tiles;
      }
      ++tiles;
    }
  }
  return tiles;
}

std::string Describe(const Case& c) {
  return "source " + std::to_string(c.shape.width) + "x" + std::to_string(c.shape.height) +
         (c.shape.topDown ? " top-down" : "") + ", info header " +
         std::to_string(c.shape.infoHeaderSize) + ", " + std::to_string(c.shape.paletteEntries) +
         " colours, gap " + std::to_string(c.shape.gapAfterPalette) + "; region " +
         std::to_string(c.region.left) + "," + std::to_string(c.region.top) + " to " +
         std::to_string(c.region.right) + "," + std::to_string(c.region.bottom) + "; band cap " +
         std::to_string(c.bandCapacity);
}

// Small caps split bands into column groups, from odd and even lefts: as a
// load never allocates, one that needs more than the reservation took fails.
TEST(BandTiling, MatchesTheRowByRowReferenceOverRandomSourcesRegionsAndCaps) {
  std::mt19937 random(20261208);
  auto between = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  const std::int64_t caps[] = {ReadSizes().bandCapacity, 300 * 152, 300 * 500, 1 << 20};
  const std::uint32_t infoHeaderSizes[] = {40, 40, 108, 124};
  int tiles = 0;
  for (int i = 0; i < 120; ++i) {
    Case c;
    c.shape.width = between(1, 1400);
    c.shape.height = between(1, 800);
    c.shape.topDown = between(0, 1) == 1;
    c.shape.infoHeaderSize = infoHeaderSizes[between(0, 3)];
    c.shape.paletteEntries = between(0, 2) == 0 ? between(1, 15) : 16;
    c.shape.gapAfterPalette = between(0, 3) == 0 ? between(1, 300) : 0;
    c.region.left = between(-700, c.shape.width + 100);
    c.region.top = between(-700, c.shape.height + 100);
    c.region.right = c.region.left + between(-50, 1300);
    c.region.bottom = c.region.top + between(-50, 1000);
    c.bandCapacity = caps[between(0, 3)];
    SCOPED_TRACE(Describe(c));
    tiles += ExpectGridMatchesReference(c);
    if (HasFailure()) return;
  }
  EXPECT_GT(tiles, 300) << "the random cases must cut a fair number of tiles";
  std::printf("%d tiles compared\n", tiles);
}

TEST(BandTiling, AWideSourceIsReadInColumnGroupsWhenItsBandExceedsTheCap) {
  Case c;
  c.shape.width = 3001;
  c.shape.height = 620;
  c.region = {-3, -1, 3100, 700};
  for (std::int64_t cap :
       {std::int64_t{300 * 152}, std::int64_t{300 * 1000}, ReadSizes().bandCapacity}) {
    c.bandCapacity = cap;
    SCOPED_TRACE(Describe(c));
    EXPECT_EQ(ExpectGridMatchesReference(c), 11 * 3);
  }
}

// The source is read once, whatever the cap: each byte a cut needs, and
// little else.
TEST(BandTiling, ACutReadsAboutTheBytesItCovers) {
  BitmapShape shape;
  shape.width = 2704;
  shape.height = 300;
  const std::string bitmap = MakeBitmap(shape);
  // Nine tiles a row; two neighbours share 2 bytes of it, which a column
  // group that starts between them reads again.
  const std::uint64_t headers = 1024, shared = 8 * 2 * 300;
  for (std::int64_t bytesPerRow : {1 << 16, 452, 451, 152, 3}) {
    const GridCut cut = CutGrid(bitmap, {0, 0, 2700, 300}, {1 << 16, 300 * bytesPerRow, 1 << 16});
    EXPECT_LE(cut.bytesRead, bitmap.size() + shared + headers) << bytesPerRow << " bytes a row";
  }
}

}  // namespace
