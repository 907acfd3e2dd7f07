// A long RLE4 stream is checked by two walks at once, the second starting in
// the middle of the stream, wherever that falls: inside an absolute run, a
// delta, or on a code. Whatever it meets, the pair must find what a single
// walk finds: the same verdict and, band by band, the same pixels.
#include <gtest/gtest.h>

#include <random>

#include "tests/test_files.h"
#include "tiling/nibbles.h"
#include "tiling/rle4.h"

namespace {

constexpr std::int64_t kOneWalk = INT64_MAX;
constexpr std::int64_t kTwoWalks = 0;

struct Indexed {
  SourceCheck check;
  std::string rows;  // every stored row, read in bands of 40
};

Indexed IndexAndRead(const std::string& bitmap, std::int64_t splitFrom) {
  TempDir dir;
  WriteBytes(dir.Path("source.bmp"), bitmap);
  InFile source(dir.Path("source.bmp").c_str());
  const SourceGeometry geometry = {I32At(bitmap, 18), (I32At(bitmap, 18) + 7) / 8 * 8,
                                   I32At(bitmap, 22), false};
  std::unique_ptr<PixelRows> rows;
  Indexed indexed = {IndexRle4Rows(source, geometry, U32At(bitmap, 10), rows, splitFrom), {}};
  if (indexed.check != SourceCheck::kUsable) return indexed;
  for (std::int64_t first = 0; first < geometry.rowCount; first += 40) {
    const std::int64_t count = std::min<std::int64_t>(40, geometry.rowCount - first);
    std::string band(static_cast<std::size_t>(count * geometry.RowBytes()), '\0');
    EXPECT_TRUE(rows->Read(source, first, count, 0, geometry.RowBytes(),
                           reinterpret_cast<std::uint8_t*>(&band[0])));
    indexed.rows += band;
  }
  return indexed;
}

// Rows of absolute runs whose pixels read, out of step, as codes: "0 1" is
// an end of bitmap, "0 255" a run that jumps a whole code ahead.
std::string AbsoluteRunsOnly(const std::string& sample, char second) {
  std::string stream;
  for (int row = 0; row < 150; ++row) {
    for (int run = 0; run < 4; ++run) {
      stream += std::string("\0\xFF", 2);
      for (int i = 0; i < 64; ++i) stream += std::string("\0", 1) + second;
    }
    stream += std::string("\2\x35\0\0", 4);  // two pixels, end of line
  }
  const std::size_t pixels = U32At(sample, 10);
  std::string bitmap = sample.substr(0, pixels) + stream + std::string("\0\1", 2);
  bitmap[18] = static_cast<char>(1022 & 0xFF);  // 4 runs of 255 pixels and 2
  bitmap[19] = static_cast<char>(1022 >> 8);
  bitmap[22] = static_cast<char>(150);
  bitmap[23] = 0;
  return bitmap;
}

// A staircase: each row two pixels, then a delta one row up that keeps the
// column, so that no end of line ever resets it.
std::string Staircase(const std::string& sample) {
  std::string stream;
  for (int row = 0; row < 1000; ++row) stream += std::string("\2\x35\0\2\0\1", 6);
  const std::size_t pixels = U32At(sample, 10);
  std::string bitmap = sample.substr(0, pixels) + stream + std::string("\0\1", 2);
  bitmap[18] = static_cast<char>(2046 & 0xFF);
  bitmap[19] = static_cast<char>(2046 >> 8);
  bitmap[22] = static_cast<char>(1000 & 0xFF);
  bitmap[23] = static_cast<char>(1000 >> 8);
  return bitmap;
}

TEST(Rle4Index, TwoWalksFromAnyMiddleFindWhatOneWalkFinds) {
  BitmapShape shape;
  shape.width = 613;
  shape.height = 437;
  shape.rle4 = true;
  shape.holes = true;  // deltas over blank stretches
  const std::string encoded = MakeBitmap(shape);
  const std::map<std::string, std::string> streams = {
      {"encoder's", encoded},
      {"out of step, an end of bitmap", AbsoluteRunsOnly(encoded, '\1')},
      {"out of step, long jumps", AbsoluteRunsOnly(encoded, '\xFF')},
      {"staircase of deltas", Staircase(encoded)},
      {"cut short", encoded.substr(0, encoded.size() - 2)},
  };
  for (const auto& [name, bitmap] : streams) {
    const Indexed one = IndexAndRead(bitmap, kOneWalk);
    ASSERT_EQ(one.check,
              name == "cut short" ? SourceCheck::kNotSixteenColours : SourceCheck::kUsable)
        << name;
    // Bytes after the stream move its middle over codes of every kind.
    for (int after = 0; after < 300; after += 2) {
      SCOPED_TRACE(name + ", " + std::to_string(after) + " bytes after the stream");
      const Indexed two = IndexAndRead(bitmap + std::string(after, '\0'), kTwoWalks);
      ASSERT_EQ(two.check, one.check);
      ASSERT_TRUE(two.rows == one.rows);
    }
  }
}

TEST(Nibbles, EveryWayPacksAlike) {
  std::mt19937 random(7);
  std::vector<std::uint8_t> pixels(2 * 70);
  for (std::uint8_t& pixel : pixels) pixel = static_cast<std::uint8_t>(random() % 16);
  for (std::int64_t bytes = 0; bytes <= 70; ++bytes) {
    std::vector<std::uint8_t> fast(70, 0xAA), portable(70, 0xAA);
    PackNibbles(pixels.data(), fast.data(), bytes);
    PackNibblesPortably(pixels.data(), portable.data(), bytes);
    ASSERT_EQ(fast, portable) << bytes << " bytes";
    if (bytes > 0) {
      ASSERT_EQ(portable[bytes - 1], pixels[2 * bytes - 2] << 4 | pixels[2 * bytes - 1]);
    }
  }
}

}  // namespace
