#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "tests/test_bitmaps.h"
#include "tiling/extract_tile.h"
#include "tiling/source_image.h"

namespace {

constexpr int kWrittenWidth = 304;  // 300 raised to a multiple of 8
constexpr int kTileHeight = 300;
constexpr int kTileRowBytes = kWrittenWidth / 2;

struct Loaded {
  bool accepted;
  ImageHeader header;
};

Loaded LoadBytes(const std::string& bytes) {
  SourceImage image;
  const bool accepted = LoadSourceBytes(bytes, &image) == SourceCheck::kUsable;
  return {accepted, image.header};
}

TEST(LoadSourceImage, AcceptsUncompressedFourBitBitmaps) {
  EXPECT_TRUE(LoadBytes(MakeBitmap({})).accepted);
  BitmapShape topDownV5;
  topDownV5.topDown = true;
  topDownV5.infoHeaderSize = 124;
  EXPECT_TRUE(LoadBytes(MakeBitmap(topDownV5)).accepted);
  BitmapShape twoColours;
  twoColours.paletteEntries = 2;
  EXPECT_TRUE(LoadBytes(MakeBitmap(twoColours)).accepted);
}

TEST(LoadSourceImage, RefusesEveryKindOfBadSource) {
  const std::string good = MakeBitmap({});
  auto with = [&](std::size_t offset, std::uint32_t value) {
    std::string bytes = good;
    PutU32At(bytes, offset, value);
    return bytes;
  };
  EXPECT_FALSE(LoadBytes("").accepted);
  EXPECT_FALSE(LoadBytes(good.substr(0, 53)).accepted) << "fewer than 54 header bytes";
  EXPECT_FALSE(LoadBytes("XY" + good.substr(2)).accepted) << "bfType";
  for (std::uint32_t size : {12u, 16u, 39u, 41u, 100u, 128u}) {  // 12: OS/2 1.x on a 40-byte one
    EXPECT_FALSE(LoadBytes(with(14, size)).accepted) << "info header of " << size << " bytes";
  }
  EXPECT_FALSE(LoadBytes(with(14, 0xFFFFFFF0)).accepted) << "info header size past the file";
  for (std::uint32_t bits : {2u, 16u, 24u, 32u}) {
    EXPECT_FALSE(LoadBytes(with(28, bits | 1 << 16)).accepted) << "biBitCount " << bits;
  }
  for (std::uint32_t planes : {0u, 2u}) {
    EXPECT_FALSE(LoadBytes(with(26, planes | 4 << 16)).accepted) << "biPlanes " << planes;
  }
  BitmapShape core;
  core.infoHeaderSize = 12;
  std::string twoPlanes = MakeBitmap(core);
  ASSERT_TRUE(LoadBytes(twoPlanes).accepted);
  twoPlanes[22] = 2;
  EXPECT_FALSE(LoadBytes(twoPlanes).accepted) << "biPlanes 2 in an OS/2 1.x header";
  std::string triples = MakeBitmap(core);
  triples[10] = 73;
  EXPECT_FALSE(LoadBytes(triples).accepted) << "pixels inside the 16 OS/2 1.x triples";
  for (std::uint16_t bits : {4, 8}) {  // RLE is bottom-up only
    BitmapShape rle;
    rle.rle = true;
    rle.bitsPerPixel = bits;
    rle.paletteEntries = 1u << bits;
    for (bool topDown : {false, true}) {
      rle.topDown = topDown;
      EXPECT_EQ(LoadBytes(BitmapWithPixels(rle, std::string("\x05\x20\0\x01", 4))).accepted,
                !topDown)
          << bits << " bits, top-down " << topDown;
    }
  }
  EXPECT_FALSE(LoadBytes(with(30, 1)).accepted) << "RLE8 of 4 bits";
  EXPECT_FALSE(LoadBytes(with(28, 8 | 2 << 16)).accepted) << "RLE4 of 8 bits";
  EXPECT_FALSE(LoadBytes(with(30, 3)).accepted) << "bit fields";
  EXPECT_FALSE(LoadBytes(with(28, 8)).accepted) << "8 bits a pixel, no room for 256 entries";
  EXPECT_FALSE(LoadBytes(with(18, 0)).accepted) << "biWidth 0";
  EXPECT_FALSE(LoadBytes(with(18, 0x80000000)).accepted) << "negative biWidth";
  EXPECT_FALSE(LoadBytes(with(22, 0)).accepted) << "biHeight 0";
  EXPECT_FALSE(LoadBytes(with(46, 17)).accepted) << "17 palette entries";
  EXPECT_FALSE(LoadBytes(with(10, 117)).accepted) << "pixels inside the palette";
  EXPECT_FALSE(LoadBytes(good.substr(0, good.size() - 1)).accepted) << "truncated pixels";
  EXPECT_FALSE(LoadBytes(with(22, 0x7FFFFFFF)).accepted) << "rows past 2^31 - 1";
  EXPECT_FALSE(LoadBytes(with(22, 0x80000000)).accepted) << "most negative biHeight";
  std::string square = with(18, 0x7FFFFFFF);
  PutU32At(square, 22, 0x7FFFFFFF);
  EXPECT_FALSE(LoadBytes(square).accepted) << "2^31 - 1 square";
  EXPECT_FALSE(LoadBytes(with(10, 0x7FFFFFF0)).accepted) << "pixels past the end of the file";
}

TEST(LoadSourceImage, ReadsThePaletteAfterALargerInfoHeader) {
  BitmapShape v4;
  v4.infoHeaderSize = 108;
  const Loaded loaded = LoadBytes(MakeBitmap(v4));
  ASSERT_TRUE(loaded.accepted);
  EXPECT_EQ(loaded.header.biSize, 40u) << "described as the plain form";
  EXPECT_EQ(loaded.header.bfOffBits, 118u);
  EXPECT_EQ(loaded.header.palette[0], 3);  // entry 1 is 0x00010203
  EXPECT_EQ(loaded.header.palette[60], 3 * 16);
}

// A source's tile, cut as the program cuts it: 300 x 300 requested.
struct Cut {
  ImageHeader source;
  std::string tile;
};

Cut CutTile(const BitmapShape& shape, std::int32_t x, std::int32_t y) {
  TempDir dir;
  WriteBytes(dir.Path("source.bmp"), MakeBitmap(shape));
  InFile source;
  OutFile tile;
  Cut cut;
  EXPECT_TRUE(source.Open(dir.Path("source.bmp").c_str()));
  SourceImage image;
  EXPECT_EQ(LoadSourceImage(source, image), SourceCheck::kUsable);
  cut.source = image.header;
  EXPECT_TRUE(tile.Open(dir.Path("tile.bmp").c_str()));
  Band band(1 << 20);
  const BandPlan plan = PlanBands(x, y, std::int64_t{x} + 1, std::int64_t{y} + 1, 1 << 20);
  EXPECT_TRUE(band.Reserve(image, plan));
  const ColumnGroup group = plan.Group(0);
  EXPECT_TRUE(band.Load(source, image, y, plan.rows, group.firstByte, group.endByte));
  TileBuffer buffer;
  EXPECT_TRUE(buffer.Reserve(50000));
  std::memset(buffer.data(), 0xEE, 50000);  // what a previous tile left
  EXPECT_TRUE(ExtractTile(image, band, tile, x, y, 300, 300, buffer));
  tile.Close();
  cut.tile = ReadBytes(dir.Path("tile.bmp"));
  return cut;
}

int TilePixel(const Cut& cut, int column, int rowFromTop) {
  const std::size_t offset =
      cut.source.bfOffBits + (kTileHeight - 1 - rowFromTop) * kTileRowBytes + column / 2;
  const int byte = static_cast<std::uint8_t>(cut.tile.at(offset));
  return column % 2 == 0 ? byte >> 4 : byte & 15;
}

// What the tile must show: the source's stored pixel, or 0 outside the
// stored rows (which include their padding up to a multiple of 8).
int ExpectedPixel(const BitmapShape& shape, std::int64_t sourceX, std::int64_t sourceY) {
  const std::int64_t rowPixels = (shape.width + 7) / 8 * 8;
  if (sourceY < 0 || sourceY >= shape.height || sourceX < 0 || sourceX >= rowPixels) return 0;
  return PixelAt(sourceX, sourceY);
}

void ExpectTileShows(const BitmapShape& shape, std::int32_t x, std::int32_t y) {
  const Cut cut = CutTile(shape, x, y);
  ASSERT_EQ(cut.tile.size(), std::max<std::size_t>(118, cut.source.bfOffBits + 45600));
  const std::int64_t firstColumn = x - x % 2;
  for (int row = 0; row < kTileHeight; ++row) {
    for (int column = 0; column < kWrittenWidth; ++column) {
      ASSERT_EQ(TilePixel(cut, column, row), ExpectedPixel(shape, firstColumn + column, y + row))
          << "tile pixel " << column << "," << row << " of the tile at " << x << "," << y;
    }
  }
}

TEST(ExtractTile, WritesTheTileHeaderFromTheSourcesWithTheTilesSize) {
  BitmapShape shape;
  shape.width = 800;
  shape.height = 700;
  const Cut cut = CutTile(shape, 300, 0);
  const std::string& tile = cut.tile;
  ASSERT_EQ(tile.size(), 118u + 45600u);
  EXPECT_EQ(tile.substr(0, 2), "BM");
  EXPECT_EQ(U32At(tile, 2), 118u + 304 * 300 / 2) << "bfSize";
  EXPECT_EQ(U32At(tile, 6), 0x00020001u) << "reserved words";
  EXPECT_EQ(U32At(tile, 10), 118u) << "bfOffBits";
  EXPECT_EQ(U32At(tile, 14), 40u) << "biSize";
  EXPECT_EQ(I32At(tile, 18), 304) << "biWidth";
  EXPECT_EQ(I32At(tile, 22), 300) << "biHeight";
  EXPECT_EQ(U32At(tile, 26), 1u | 4u << 16) << "planes, bit count";
  EXPECT_EQ(U32At(tile, 30), 0u) << "biCompression";
  EXPECT_EQ(U32At(tile, 34), 0u) << "biSizeImage";
  EXPECT_EQ(U32At(tile, 38), 2835u);
  EXPECT_EQ(U32At(tile, 42), 2836u);
  EXPECT_EQ(U32At(tile, 46), 0u) << "biClrUsed";
  EXPECT_EQ(U32At(tile, 50), 3u) << "biClrImportant";
  EXPECT_EQ(U32At(tile, 54), 0x00010203u) << "palette entry 0";
  EXPECT_EQ(U32At(tile, 114), 0x00010203u * 16) << "palette entry 15";
}

TEST(ExtractTile, CopiesTheTopRowFromTheLastStoredRowsAndStoresRowsBottomUp) {
  BitmapShape shape;
  shape.width = 800;
  shape.height = 700;
  const std::string source = MakeBitmap(shape);
  const Cut cut = CutTile(shape, 300, 0);
  // The top tile row is image row 0, stored last; it lands at the tile's end.
  EXPECT_EQ(cut.tile.substr(118 + 299 * 152, 152), source.substr(118 + (699 * 800 + 300) / 2, 152));
  EXPECT_EQ(cut.tile.substr(118, 152), source.substr(118 + (400 * 800 + 300) / 2, 152));
  ExpectTileShows(shape, 300, 0);
}

TEST(ExtractTile, StartsAnOddColumnOnTheEvenOneBeforeIt) {
  BitmapShape shape;
  shape.width = 700;
  shape.height = 320;
  ExpectTileShows(shape, 301, 5);
}

TEST(ExtractTile, AddressesRowsByTheirStoredLengthAndCopiesThePadding) {
  BitmapShape shape;
  shape.width = 601;  // stored as 608 pixels a row
  shape.height = 310;
  ExpectTileShows(shape, 300, 0);
  ExpectTileShows(shape, 600, 10);
}

TEST(ExtractTile, FillsEverythingOutsideTheStoredRowsWithIndexZero) {
  BitmapShape shape;
  shape.width = 100;
  shape.height = 50;
  ExpectTileShows(shape, -151, -120);  // above and left of the image
  ExpectTileShows(shape, 40, 20);      // past the right edge and below the bottom
  ExpectTileShows(shape, 2000, 3000);  // nowhere near the image
  ExpectTileShows(shape, INT32_MIN + 1, INT32_MAX - 299);
}

TEST(ExtractTile, KeepsALargerPixelOffsetWithZerosBeforeTheRows) {
  BitmapShape shape;
  shape.width = 320;
  shape.height = 300;
  shape.gapAfterPalette = 40;
  const Cut cut = CutTile(shape, 0, 0);
  EXPECT_EQ(U32At(cut.tile, 10), 158u);
  EXPECT_EQ(U32At(cut.tile, 2), 158u + 45600u) << "bfSize is the file's length";
  EXPECT_EQ(cut.tile.substr(118, 40), std::string(40, '\0'));
  ExpectTileShows(shape, 0, 0);

  // A gap too large to write out goes to the file system's zeros.
  shape.gapAfterPalette = (1 << 20) + 6;
  const Cut far = CutTile(shape, 0, 0);
  EXPECT_EQ(U32At(far.tile, 10), 118u + shape.gapAfterPalette);
  EXPECT_EQ(far.tile.substr(118, shape.gapAfterPalette), std::string(shape.gapAfterPalette, '\0'));
  ExpectTileShows(shape, 0, 0);
}

TEST(ExtractTile, ReadsLargerInfoHeadersAndTopDownSources) {
  BitmapShape shape;
  shape.width = 333;
  shape.height = 310;
  shape.infoHeaderSize = 124;
  shape.topDown = true;
  const Cut cut = CutTile(shape, 0, 0);
  EXPECT_EQ(U32At(cut.tile, 10), 118u) << "the plain form's bfOffBits";
  EXPECT_EQ(U32At(cut.tile, 2), 118u + 45600u) << "bfSize";
  EXPECT_EQ(U32At(cut.tile, 14), 40u) << "the tile's info header is the classic one";
  EXPECT_EQ(I32At(cut.tile, 22), 300) << "tiles stay bottom-up";
  EXPECT_EQ(U32At(cut.tile, 54), 0x00010203u) << "the palette after the V5 header";
  ExpectTileShows(shape, 0, 0);
  ExpectTileShows(shape, 31, 17);
}

TEST(ExtractTile, LetsRowsOverwriteTheEndOfAShortPalette) {
  BitmapShape shape;
  shape.paletteEntries = 2;  // pixels start at 62
  shape.width = 304;
  shape.height = 300;
  const Cut cut = CutTile(shape, 0, 0);
  EXPECT_EQ(U32At(cut.tile, 10), 62u);
  EXPECT_EQ(U32At(cut.tile, 54), 0x00010203u);
  ASSERT_EQ(cut.tile.size(), 62u + 45600u);
  ExpectTileShows(shape, 0, 0);
}

// A tile every 300 pixels from the region's first corner, up to but not
// including its second: a width of 301 holds two, one of 0 or less none.
TEST(PlanBands, CountsTheTilesWhoseCornersLieInTheRegion) {
  const std::pair<std::int64_t, std::int64_t> spans[] = {{0, 0},   {-5, 0},  {1, 1},   {299, 1},
                                                         {300, 1}, {301, 2}, {600, 2}, {601, 3}};
  for (const auto& [width, tiles] : spans) {
    const BandPlan plan = PlanBands(-151, 7, -151 + width, 7 + width, 1 << 20);
    EXPECT_EQ(plan.columns, tiles) << "width " << width;
    EXPECT_EQ(plan.count, tiles) << "height " << width;
  }
  EXPECT_EQ(PlanBands(10, 10, 10, 900, 1 << 20).count, 0) << "left equal to right: no band";
}

}  // namespace
