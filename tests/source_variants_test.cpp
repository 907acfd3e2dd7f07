// Every variant of 16-colour BMP that editors write must give exactly the
// tiles of the same image saved the plainest way (40-byte info header,
// 4-byte palette entries, uncompressed): the variants and their plain
// equivalents are made by this test's own writer and RLE4 encoder, or, for
// random RLE4 streams, by a reference decoder. Each is cut with the
// program's read sizes and with tiny ones, so that small images cross
// every read block, column group and noted band start.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <random>
#include <set>
#include <vector>

#include "app/tile_grid.h"
#include "tests/grid_cuts.h"
#include "tests/rle_reference.h"
#include "tests/test_bitmaps.h"
#include "tiling/source_image.h"

namespace {

// Blocks of an odd size, two tiles a column group, two noted band starts.
constexpr ReadSizes kTinySizes = {257, 300 * 400, 2};
// Blocks of 5 bytes, which 1-bit pieces fill when they start on a column
// that is not a multiple of 8; two tiles a column group.
constexpr ReadSizes kPieceSizes = {5, 300 * 400, 2};

// A grid that hangs over all four edges of the image.
Region AroundImage(const BitmapShape& shape, std::int32_t left = -151) {
  return {left, -7, shape.width + 150, shape.height + 150};
}

BitmapShape Shape(std::uint32_t infoHeaderSize, bool rle4 = false) {
  BitmapShape shape;
  shape.width = 613;
  shape.height = 437;
  shape.infoHeaderSize = infoHeaderSize;
  shape.rle = rle4;
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
    for (const ReadSizes& sizes : {ReadSizes(), kTinySizes}) {
      SCOPED_TRACE(name + ", read block " + std::to_string(sizes.readBlock));
      const GridCut cut = CutGrid(MakeBitmap(shape), AroundImage(shape), sizes);
      ASSERT_EQ(cut.tiles.size(), 8u);
      ExpectSameTiles(cut, CutGrid(MakePlainEquivalent(shape), AroundImage(shape), sizes));
    }
  }
}

// The 4-bit equivalent of a 1- or 8-bit `source` whose pixels are, in 4
// bits, `index`: 16 palette entries, first those `kept` of the source's
// (3-byte ones widened; 0 past its palette), then zeros; its biClrImportant
// `important` when it counts no more than the kept; the same gap, rows and
// fields.
std::string FourBitEquivalent(BitmapShape shape, const std::vector<std::uint32_t>& kept,
                              std::uint32_t important,
                              const std::function<int(std::int64_t, std::int64_t)>& index) {
  const bool core = shape.infoHeaderSize == 12;
  const std::uint32_t sourceEntries = shape.paletteEntries;
  shape.bitsPerPixel = 4;
  shape.infoHeaderSize = 40;
  shape.paletteEntries = 16;
  std::string pixels;
  for (std::int32_t stored = 0; stored < shape.height; ++stored) {
    const std::int32_t y = shape.topDown ? stored : shape.height - 1 - stored;
    for (std::int64_t x = 0; x < (shape.width + 7) / 8 * 8; x += 2) {
      auto at = [&](std::int64_t column) { return column < shape.width ? index(column, y) : 0; };
      pixels += static_cast<char>(at(x) << 4 | at(x + 1));
    }
  }
  std::string bytes = BitmapWithPixels(shape, pixels);
  for (std::size_t i = 0; i < 16; ++i) {
    const bool taken = i < kept.size() && kept[i] < sourceEntries;
    const std::uint32_t entry = taken ? PaletteEntry(kept[i]) : 0;
    PutU32At(bytes, 54 + 4 * i, entry & (core ? 0x00FFFFFF : 0xFFFFFFFF));
  }
  if (core) bytes.replace(38, 8, 8, '\0');  // OS/2 1.x has no resolutions
  PutU32At(bytes, 46, 16);
  PutU32At(bytes, 50, !core && important <= kept.size() ? important : 0);
  return bytes;
}

// 1- and 8-bit sources, as Pillow, ImageMagick and Paint save a picture of at
// most 16 colours, give the tiles of the same picture saved in 4 bits: the
// pixels as they are when all are below 16, renumbered in the order of the
// values used otherwise; biClrImportant kept while it counts no more
// entries than the tiles take.
TEST(SourceVariants, OneAndEightBitSourcesGiveTheTilesOfTheirFourBitEquivalent) {
  struct Variant {
    std::string name;
    std::uint16_t bits;
    std::uint32_t infoHeaderSize, entries, gap;
    bool topDown;
    std::vector<int> values;  // of 8-bit pixels, ascending
    std::uint32_t important = 3;
  };
  auto every = [](int step, int first = 0) {
    std::vector<int> values;
    for (int i = 0; i < 16; ++i) values.push_back(first + i * step);
    return values;
  };
  const Variant variants[] = {
      {"8-bit, pixels below 16", 8, 40, 256, 0, false, every(1)},
      {"8-bit V5 top-down, 16 grey levels renumbered", 8, 124, 256, 6, true, every(17)},
      {"8-bit OS/2 1.x, renumbered", 8, 12, 256, 3, false, every(16)},
      {"8-bit, 20 entries, pixels below 16", 8, 108, 20, 0, false, every(1)},
      {"8-bit, three values below 16, kept", 8, 40, 256, 0, false, {2, 5, 11}},
      {"8-bit, the highest value 16, renumbered", 8, 40, 256, 0, false, {0, 3, 16}},
      {"8-bit, three values renumbered: biClrImportant 3 kept", 8, 40, 256, 0, false, {17, 34, 51}},
      {"8-bit, two values renumbered: biClrImportant 3 too many", 8, 40, 256, 0, false, {40, 80}},
      {"8-bit, 16 values, none 0, in rows with padding", 8, 40, 256, 0, false, every(1, 1)},
      {"8-bit, 20 entries, a value one past them", 8, 40, 20, 4, false, {3, 20}},
      {"1-bit", 1, 40, 2, 0, false, {0, 1}},
      {"1-bit as Pillow writes it, biClrImportant 2", 1, 40, 2, 0, false, {0, 1}, 2},
      {"1-bit OS/2 1.x with a gap", 1, 12, 2, 5, false, {0, 1}},
      {"1-bit top-down, one entry", 1, 56, 1, 0, true, {0, 1}},
  };
  for (const Variant& v : variants) {
    BitmapShape shape = Shape(v.infoHeaderSize);
    shape.bitsPerPixel = v.bits;
    shape.paletteEntries = v.entries;
    shape.gapAfterPalette = v.gap;
    shape.topDown = v.topDown;
    const bool renumbered = v.values.back() >= 16;
    auto valueAt = [&](std::int64_t x, std::int64_t y) {
      return PixelAt(x, y) % static_cast<int>(v.values.size());  // its place among the values
    };
    auto fourBit = [&](std::int64_t x, std::int64_t y) {
      return renumbered ? valueAt(x, y) : v.values[valueAt(x, y)];
    };
    std::vector<std::uint32_t> kept;
    for (std::uint32_t i = 0; i < (renumbered ? v.values.size() : std::min(v.entries, 16u)); ++i) {
      kept.push_back(renumbered ? v.values[i] : i);
    }
    std::string source = BitmapWithPixels(
        shape, IndexedPixels(
                   shape, [&](std::int64_t x, std::int64_t y) { return v.values[valueAt(x, y)]; }));
    if (v.infoHeaderSize != 12) PutU32At(source, 50, v.important);
    const std::string equivalent = FourBitEquivalent(shape, kept, v.important, fourBit);
    // Column groups start on a column that is a multiple of 8, or not.
    std::vector<ReadSizes> readSizes = {ReadSizes(), kTinySizes};
    if (v.bits == 1) readSizes.push_back(kPieceSizes);
    for (const ReadSizes& sizes : readSizes) {
      for (std::int32_t left : {-151, -149}) {
        SCOPED_TRACE(v.name + ", read block " + std::to_string(sizes.readBlock) + ", left " +
                     std::to_string(left));
        const GridCut cut = CutGrid(source, AroundImage(shape, left), sizes);
        // Each read is about the size of what it is for, not a block: an
        // 8-bit map is read whole for its values, then its rows, whole when
        // a group wants most of them, and a later group some again.
        EXPECT_LE(cut.bytesRead, 3 * source.size());
        ExpectSameTiles(cut, CutGrid(equivalent, AroundImage(shape, left), sizes));
      }
    }
  }
}

// Random streams, RLE4 and RLE8, against what the reference decodes them
// to, saved uncompressed with the same 4-bit or 8-bit pixels; read sizes and
// the grid's left edge random too, so that blocks, column groups and band
// starts fall anywhere in a code or a row.
TEST(SourceVariants, RandomRleStreamsGiveTheTilesOfTheirReferenceDecoding) {
  std::mt19937 random(20261209);
  auto between = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  int refused = 0;
  for (int i = 0; i < 30; ++i) {
    BitmapShape shape;
    shape.width = between(1, 1300);
    shape.height = between(1, 950);
    shape.bitsPerPixel = static_cast<std::uint16_t>(i % 2 == 0 ? 4 : 8);
    shape.paletteEntries = 1u << shape.bitsPerPixel;
    const int bits = shape.bitsPerPixel;
    const std::string stream = RandomRleStream(random, shape.width, shape.height, bits);
    const std::optional<std::string> pixels = DecodeRle(stream, shape.width, shape.height, bits);
    ASSERT_TRUE(pixels.has_value());
    const ReadSizes sizes = {static_cast<std::size_t>(between(130, 600)),
                             std::int64_t{45600} * between(1, 3),
                             static_cast<std::size_t>(between(2, 4))};
    const std::int32_t left = between(-400, 300);
    SCOPED_TRACE("stream " + std::to_string(i) + " of " + std::to_string(stream.size()) +
                 " bytes, " + std::to_string(bits) + " bits, " + std::to_string(shape.width) +
                 " x " + std::to_string(shape.height) + ", read block " +
                 std::to_string(sizes.readBlock) + ", cap " + std::to_string(sizes.bandCapacity) +
                 ", starts " + std::to_string(sizes.notedStarts) + ", left " +
                 std::to_string(left));
    BitmapShape plain = PlainShapeOf(shape);
    const std::string fourBit = FourBitRows(*pixels, shape.width, shape.height);
    const std::string plainPixels =
        bits == 4 ? fourBit : IndexedPixels(plain, [&](std::int64_t x, std::int64_t y) {
          return static_cast<std::uint8_t>((*pixels)[(shape.height - 1 - y) * shape.width + x]);
        });
    shape.rle = true;
    // A 17th value, 0 among them where a pixel is left unset: refused.
    if (std::set<char>(pixels->begin(), pixels->end()).size() > 16) {
      EXPECT_EQ(LoadSourceBytes(BitmapWithPixels(shape, stream), nullptr, sizes),
                SourceCheck::kNotSixteenColours);
      ++refused;
      continue;
    }
    const Region region = AroundImage(shape, left);
    const GridCut expected = CutGrid(BitmapWithPixels(plain, plainPixels), region, sizes);
    ExpectSameTiles(CutGrid(BitmapWithPixels(shape, stream), region, sizes), expected);
    ExpectSameTiles(CutGrid(BitmapWithPixels(shape, stream), region, ReadSizes()), expected);
    // The bands fetched whole, then in column groups: those the source
    // planned for, or others.
    TempDir dir;
    WriteBytes(dir.Path("area.bmp"), BitmapWithPixels(shape, stream));
    InFile source;
    ASSERT_TRUE(source.Open(dir.Path("area.bmp").c_str()));
    BandPlan plan = BandsOf(region, sizes.bandCapacity);
    plan.groupTiles = between(1, 3);
    SourceImage image;
    ASSERT_EQ(LoadSourceImage(source, image, plan, sizes), SourceCheck::kUsable);
    EXPECT_TRUE(BandsMatch(source, image, plan, between(1, 3), fourBit));
    // Cut off anywhere before its end, inside a code or between two, the
    // stream has no end of bitmap: the map is refused.
    const std::string cutShort = stream.substr(0, between(0, static_cast<int>(stream.size()) - 1));
    ASSERT_FALSE(DecodeRle(cutShort, shape.width, shape.height, bits).has_value());
    EXPECT_EQ(LoadSourceBytes(BitmapWithPixels(shape, cutShort), nullptr, sizes),
              SourceCheck::kNotSixteenColours)
        << "cut to " << cutShort.size() << " bytes";
  }
  std::printf("%d of the RLE8 streams have a 17th value\n", refused);
}

// Each kind of code, wherever a read block ends: whole, it is read whole;
// cut short by the end of the file, at every length (none of it: no end of
// bitmap), the map is refused.
// Blocks of an odd size end inside codes, which all take an even number.
TEST(SourceVariants, ACodeIsWholeAcrossABlocksEndAndCutShortOnlyAtTheFilesEnd) {
  const std::string endOfBitmap("\0\x01", 2);
  const std::string longestRle8 = std::string("\0\xFF", 2) + std::string(256, '\x12');
  const std::string codes[] = {"\x05\x12",
                               std::string("\0\x02\x03\x01", 4),
                               std::string("\0\x05\x12\x34\x50\0", 6),
                               std::string("\0\xFF", 2) + std::string(128, '\x12'),
                               endOfBitmap,
                               longestRle8};
  for (const std::string& code : codes) {
    BitmapShape shape = Shape(40, true);
    shape.bitsPerPixel = static_cast<std::uint16_t>(code == longestRle8 ? 8 : 4);
    shape.paletteEntries = 1u << shape.bitsPerPixel;
    for (std::size_t filler = 0; filler < 800; filler += 2) {
      const std::string before(filler, '\x09');  // encoded runs of 9 pixels
      ASSERT_EQ(LoadSourceBytes(BitmapWithPixels(shape, before + code + endOfBitmap), nullptr,
                                {517, 1 << 20, 4}),
                SourceCheck::kUsable)
          << "code " << static_cast<int>(code[1]) << " after " << filler << " bytes";
      for (std::size_t cut = 0; filler % 128 == 0 && cut < code.size(); ++cut) {
        for (std::size_t block : {std::size_t{517}, std::size_t{64} << 10}) {
          EXPECT_EQ(LoadSourceBytes(BitmapWithPixels(shape, before + code.substr(0, cut)), nullptr,
                                    {block, 1 << 20, 4}),
                    SourceCheck::kNotSixteenColours)
              << "code " << static_cast<int>(code[1]) << " cut to " << cut << ", block " << block;
        }
      }
    }
  }
}

}  // namespace
