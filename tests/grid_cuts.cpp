#include "tests/grid_cuts.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "app/tile_grid.h"
#include "tests/file_faults.h"
#include "tests/test_bitmaps.h"
#include "tiling/source_image.h"

GridCut CutGrid(const std::string& bitmap, const Region& region, const ReadSizes& sizes,
                std::uint64_t sparseTail) {
  TempDir dir;
  WriteBytes(dir.Path("area.bmp"), bitmap);
  std::filesystem::resize_file(dir.Path("area.bmp"), bitmap.size() + sparseTail);
  InFile source;
  EXPECT_TRUE(source.Open(dir.Path("area.bmp").c_str()));
  const std::string stem = dir.Path("area");
  file_faults::Arm(0);  // only to count the reads
  SourceImage image;
  EXPECT_EQ(LoadSourceImage(source, image, BandsOf(region, sizes.bandCapacity), sizes),
            SourceCheck::kUsable);
  OutFile tile;
  EXPECT_EQ(CutTileGrid(image, source, tile, region, stem.c_str(), sizes), nullptr);
  GridCut cut;
  for (const RecordedCall& call : file_faults::Calls()) {
    if (call.file == &source && call.call == FileCall::kRead) {
      cut.bytesRead += call.bytes;
      ++cut.reads;
    }
  }
  file_faults::Disarm();
  for (int row = 0; row * 300 < std::int64_t{region.bottom} - region.top; ++row) {
    for (int column = 0; column * 300 < std::int64_t{region.right} - region.left; ++column) {
      char name[32];
      std::snprintf(name, sizeof name, " tile %d,%d.bmp", column, row);
      cut.tiles[name] = ReadBytes(stem + name);
    }
  }
  return cut;
}

void ExpectSameTiles(const GridCut& cut, const GridCut& expected) {
  ASSERT_EQ(cut.tiles.size(), expected.tiles.size());
  for (const auto& [name, bytes] : cut.tiles) {
    const std::string& want = expected.tiles.at(name);
    std::size_t first = 0;
    while (first < bytes.size() && first < want.size() && bytes[first] == want[first]) ++first;
    ASSERT_TRUE(bytes == want) << name << ": first differing byte " << first << " of "
                               << bytes.size();
    ASSERT_EQ(U32At(bytes, 2), bytes.size()) << name << ": bfSize is the file's length";
  }
}
