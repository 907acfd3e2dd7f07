// How much of an RLE4 source a whole grid reads, counted through the file
// layer's seam with small read sizes, for streams of every shape: the reads
// must stay linear in the stream, whatever its rows, bands and column
// groups, and every tile must be what the reference decoder makes of it.
#include <gtest/gtest.h>

#include "tests/grid_cuts.h"
#include "tests/rle_reference.h"
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

struct Shape {
  const char* name;
  std::int32_t width, height;
  std::string stream;
  ReadSizes sizes;
  std::int64_t groups;           // column groups a band is read in
  std::uint64_t sparseTail = 0;  // bytes of nothing after the stream
};

TEST(RleWork, ReadsStayLinearInTheStreamWhateverItsShape) {
  const std::string endOfLine("\0\0", 2), deltaUp("\0\x02\0\x01", 4);
  const Shape shapes[] = {
      {"tall, its rows ending in deltas up",
       300,
       6000,
       RowsOfRuns(6000, 100, deltaUp),
       {kBlock, ReadSizes().bandCapacity, 1 << 16},
       1},
      {"tall, two noted band starts",
       300,
       6000,
       RowsOfRuns(6000, 100, endOfLine),
       {kBlock, ReadSizes().bandCapacity, 2},
       1},
      {"wide, two tiles a column group",
       12004,
       300,
       RowsOfRuns(300, 4000, endOfLine),
       {kBlock, 2 * kTile + 600, 1 << 16},
       20},
      {"an end of bitmap at once, before 256 MiB of nothing",
       8,
       2,
       std::string("\0\x01", 2),
       {kBlock, kTile, 1 << 16},
       1,
       256u << 20},
  };
  for (const Shape& shape : shapes) {
    SCOPED_TRACE(shape.name);
    BitmapShape bitmap;
    bitmap.width = shape.width;
    bitmap.height = shape.height;
    const std::optional<std::string> pixels = DecodeRle(shape.stream, shape.width, shape.height, 4);
    ASSERT_TRUE(pixels.has_value());
    const Region region = {0, 0, shape.width, shape.height};
    const GridCut expected = CutGrid(
        BitmapWithPixels(PlainShapeOf(bitmap), FourBitRows(*pixels, shape.width, shape.height)),
        region, shape.sizes);
    bitmap.rle = true;
    const GridCut cut =
        CutGrid(BitmapWithPixels(bitmap, shape.stream), region, shape.sizes, shape.sparseTail);
    ExpectSameTiles(cut, expected);
    // The check and the bands read the stream, a few times at most, and a
    // block more for each band's start and each row a later group resumes.
    const std::uint64_t block = std::max<std::size_t>(shape.sizes.readBlock, 516);
    const std::uint64_t bands = (shape.height + 299) / 300;
    EXPECT_LE(cut.bytesRead, 4 * shape.stream.size() +
                                 block * (bands + 1 + shape.height * (shape.groups - 1)) +
                                 2 * kHeaders);
  }
}

}  // namespace
