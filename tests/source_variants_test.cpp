// Every variant of 16-colour BMP that editors write must give exactly the
// tiles of the same image saved the plainest way (40-byte info header,
// 4-byte palette entries, uncompressed): the variants and their plain
// equivalents are made by this test's own writer and RLE4 encoder.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/tile_grid.h"
#include "tests/test_files.h"
#include "tiling/source_image.h"

namespace {

// Every tile of a grid that hangs over all four edges of the image, by name.
std::map<std::string, std::string> CutGrid(const std::string& bitmap, const BitmapShape& shape,
                                           std::int64_t bandCapacity) {
  TempDir dir;
  WriteBytes(dir.Path("area.bmp"), bitmap);
  InFile source;
  EXPECT_TRUE(source.Open(dir.Path("area.bmp").c_str()));
  const Region region = {-151, -7, shape.width + 150, shape.height + 150};
  SourceImage image;
  EXPECT_EQ(LoadSourceImage(source, image, BandsOf(region)), SourceCheck::kUsable);
  OutFile tile;
  const std::string stem = dir.Path("area");
  EXPECT_EQ(CutTileGrid(image, source, tile, region, stem.c_str(), bandCapacity), nullptr);
  std::map<std::string, std::string> tiles;
  for (int row = 0; row * 300 < region.bottom - region.top; ++row) {
    for (int column = 0; column * 300 < region.right - region.left; ++column) {
      char name[32];
      std::snprintf(name, sizeof name, " tile %d,%d.bmp", column, row);
      tiles[name] = ReadBytes(stem + name);
    }
  }
  return tiles;
}

BitmapShape Shape(std::uint32_t infoHeaderSize, bool rle4 = false) {
  BitmapShape shape;
  shape.width = 613;
  shape.height = 437;
  shape.infoHeaderSize = infoHeaderSize;
  shape.rle4 = rle4;
  return shape;
}

TEST(SourceVariants, EachGivesTheTilesOfItsPlainEquivalent) {
  std::map<std::string, BitmapShape> variants;
  for (std::uint32_t size : {12u, 40u, 52u, 56u, 64u, 108u, 124u}) {
    variants["info header " + std::to_string(size)] = Shape(size);
    if (size != 12) variants["RLE4, info header " + std::to_string(size)] = Shape(size, true);
  }
  variants["top-down V4"] = Shape(108);
  variants["top-down V4"].topDown = true;
  variants["RLE4 with deltas"] = Shape(40, true);
  variants["RLE4 with deltas"].holes = true;
  variants["V5, 12 colours and a gap"] = Shape(124);
  variants["V5, 12 colours and a gap"].paletteEntries = 12;
  variants["V5, 12 colours and a gap"].gapAfterPalette = 10;
  variants["RLE4 with deltas, 3 colours and a gap"] = variants["RLE4 with deltas"];
  variants["RLE4 with deltas, 3 colours and a gap"].paletteEntries = 3;
  variants["RLE4 with deltas, 3 colours and a gap"].gapAfterPalette = 7;
  variants["OS/2 1.x with a gap"] = Shape(12);
  variants["OS/2 1.x with a gap"].gapAfterPalette = 5;

  for (const auto& [name, shape] : variants) {
    SCOPED_TRACE(name);
    // A cap this small makes wide bands come in column groups.
    for (std::int64_t cap : {kBandCapacity, std::int64_t{300 * 400}}) {
      const auto tiles = CutGrid(MakeBitmap(shape), shape, cap);
      const auto expected = CutGrid(MakePlainEquivalent(shape), PlainShapeOf(shape), cap);
      ASSERT_EQ(tiles.size(), 8u);
      for (const auto& [tileName, bytes] : tiles) {
        const std::string& want = expected.at(tileName);
        std::size_t first = 0;
        while (first < bytes.size() && first < want.size() && bytes[first] == want[first]) ++first;
        ASSERT_EQ(bytes, want) << tileName << ", band cap " << cap << ", first differing byte "
                               << first;
        ASSERT_EQ(U32At(bytes, 2), bytes.size()) << tileName << ": bfSize is the file's length";
      }
    }
  }
}

TEST(SourceVariants, AV5SourceGivesPlainTilesOfTheUsualLength) {
  const BitmapShape shape = Shape(124);
  const auto tiles = CutGrid(MakeBitmap(shape), shape, kBandCapacity);
  EXPECT_EQ(tiles.at(" tile 0,0.bmp").size(), 45718u);
  EXPECT_EQ(U32At(tiles.at(" tile 0,0.bmp"), 10), 118u);
}

bool Accepted(const std::string& bitmap) {
  return LoadSourceBytes(bitmap) == SourceCheck::kUsable;
}

TEST(SourceVariants, RefusesRle4ThatIsTopDownOrCutShortAndUnknownHeaders) {
  BitmapShape rle4 = Shape(40, true);
  const std::string whole = MakeBitmap(rle4);
  ASSERT_TRUE(Accepted(whole));
  EXPECT_FALSE(Accepted(whole.substr(0, whole.size() - 2))) << "no end of bitmap";
  EXPECT_FALSE(Accepted(whole.substr(0, whole.size() / 2))) << "cut in the middle";
  rle4.topDown = true;
  EXPECT_FALSE(Accepted(MakeBitmap(rle4))) << "RLE4 is bottom-up only";
  BitmapShape os2 = Shape(12);
  std::string shortOffset = MakeBitmap(os2);
  shortOffset[10] = 73;  // pixels inside the 16 triples
  EXPECT_FALSE(Accepted(shortOffset));
  for (std::uint32_t size : {16u, 41u, 100u, 128u}) {
    std::string unknown = MakeBitmap(Shape(40));
    unknown[14] = static_cast<char>(size);
    EXPECT_FALSE(Accepted(unknown)) << "info header of " << size << " bytes";
  }
}

}  // namespace
