// How much of an RLE4 source a whole grid reads, counted through the file
// layer's seam with a read block the test sets: the check reads the stream
// once, each band is decoded from where it begins, a wide band's column
// groups resume one another, and nothing after the end-of-bitmap code is
// read at all. So the reads are linear in the stream whatever its shape.
// Every tile must also be what the reference decoder makes of the stream.
#include <gtest/gtest.h>

#include "tests/grid_cuts.h"
#include "tests/rle4_reference.h"
#include "tests/test_bitmaps.h"

namespace {

constexpr std::uint64_t kHeaders = 118;
constexpr std::size_t kBlock = 1000;
constexpr std::int64_t kTile = 300 * 152;  // a tile's share of the band cap

// Rows of runs of 3 pixels, each row ending with `rowEnd` (an end of line,
// or a delta up, which leaves x where it was).
std::string RowsOfRuns(int rows, int runs, const std::string& rowEnd) {
  std::string stream;
  for (int row = 0; row < rows; ++row) {
    for (int run = 0; run < runs; ++run) stream += run % 2 == 0 ? "\x03\x12" : "\x03\x34";
    stream += rowEnd;
  }
  return stream + std::string("\0\x01", 2);
}

// Cuts the whole image, as RLE4 and as the reference decodes it, and
// compares the tiles; returns the bytes the RLE4 cut read.
std::uint64_t BytesToCut(std::int32_t width, std::int32_t height, const std::string& stream,
                         const ReadSizes& sizes) {
  BitmapShape shape;
  shape.width = width;
  shape.height = height;
  const std::optional<std::string> rows = DecodeRle4(stream, width, height);
  EXPECT_TRUE(rows.has_value());
  const Region region = {0, 0, width, height};
  const BitmapShape plain = PlainShapeOf(shape);
  const GridCut expected = CutGrid(BitmapWithPixels(plain, rows.value_or("")), region, sizes);
  shape.rle4 = true;
  const GridCut cut = CutGrid(BitmapWithPixels(shape, stream), region, sizes);
  ExpectSameTiles(cut, expected);
  return cut.bytesRead;
}

// Rows that end in a delta up, not an end of line: a band's start is noted
// wherever it falls, so no band decodes from an earlier one's.
TEST(Rle4Work, ATallStreamIsReadTwiceNotOnceForEachBand) {
  const std::string stream = RowsOfRuns(6000, 100, std::string("\0\x02\0\x01", 4));
  const std::uint64_t read =
      BytesToCut(300, 6000, stream, {kBlock, ReadSizes().bandCapacity, 1 << 16});
  EXPECT_LE(read, 2 * stream.size() + 21 * kBlock + 2 * kHeaders);
  EXPECT_GE(read, 2 * stream.size()) << "every band is decoded";
}

// Twenty bands and two noted starts: the walk from a noted start notes the
// starts of the bands it passes, so the nine after each decode from their
// own, not from the noted one.
TEST(Rle4Work, BandsBetweenNotedStartsDecodeFromTheirOwn) {
  const std::string stream = RowsOfRuns(6000, 100, std::string("\0\0", 2));
  const std::uint64_t read = BytesToCut(300, 6000, stream, {kBlock, ReadSizes().bandCapacity, 2});
  EXPECT_LE(read, 3 * stream.size() + 41 * kBlock + 2 * kHeaders);
}

// Forty tiles across, two to a column group: the first group walks the band
// to each row's end, and each of the others resumes every row where the one
// before left it (a block read for each), so the band is not walked once a
// group.
TEST(Rle4Work, AWideBandIsWalkedTwiceNotOnceForEachColumnGroup) {
  const std::string stream = RowsOfRuns(300, 4000, std::string("\0\0", 2));
  const std::size_t block = 256;
  const std::uint64_t read = BytesToCut(12004, 300, stream, {block, 2 * kTile + 600, 1 << 16});
  EXPECT_LE(read, 3 * stream.size() + 20 * 300 * block + 2 * kHeaders);
}

// A stream that ends at once, followed by a long tail of nothing.
TEST(Rle4Work, NothingPastTheEndOfBitmapCodeIsRead) {
  BitmapShape shape;
  shape.width = 8;
  shape.height = 2;
  shape.rle4 = true;
  const GridCut cut = CutGrid(BitmapWithPixels(shape, std::string("\0\x01", 2)), {0, 0, 300, 300},
                              {kBlock, kTile, 1 << 16}, 256u << 20);
  EXPECT_LE(cut.bytesRead, 2 * (kHeaders + kBlock));
}

}  // namespace
