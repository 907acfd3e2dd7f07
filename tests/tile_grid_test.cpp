// The grid's tile names: "<stem> tile <column>,<row>.bmp", made only when
// the whole name fits a path, never cut to some other name.
#include "app/tile_grid.h"

#include <gtest/gtest.h>

#include "app/messages.h"
#include "tests/test_bitmaps.h"

namespace {

TEST(CutTileGrid, MakesATileNameOf255CharactersButNotOneLonger) {
  TempDir dir;
  WriteBytes(dir.Path("area.bmp"), MakeBitmap({}));
  InFile source;
  ASSERT_TRUE(source.Open(dir.Path("area.bmp").c_str()));
  const Region region = {0, 0, 1, 1};
  SourceImage image;
  ASSERT_EQ(LoadSourceImage(source, image, BandsOf(region, ReadSizes().bandCapacity)),
            SourceCheck::kUsable);
  const std::string suffix = " tile 0,0.bmp";
  for (std::size_t length : {255u, 256u}) {
    const std::string folder = dir.Path("");
    const std::string stem = folder + std::string(length - folder.size() - suffix.size(), 's');
    OutFile tile;
    const char* failure = CutTileGrid(image, source, tile, region, stem.c_str(), ReadSizes());
    EXPECT_STREQ(failure, length == 255 ? nullptr : kCannotOpenTile) << length;
    EXPECT_EQ(Exists(stem + suffix), length == 255) << length;
  }
}

}  // namespace
