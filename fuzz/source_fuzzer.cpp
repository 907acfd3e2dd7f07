// Arbitrary bytes as the source bitmap (headers, sizes, offsets, truncation),
// loaded, checked and cut into a small grid of tiles that the input also
// chooses: its first 8 bytes place the grid and size the band. An RLE4
// source is also checked from both halves of its stream at once, as long
// streams are, and must give the same rows.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/tile_grid.h"
#include "fuzz/fuzz_files.h"
#include "tiling/rle4.h"
#include "tiling/source_image.h"

namespace {

constexpr std::size_t kGridBytes = 8;

std::int32_t Corner(std::uint8_t low, std::uint8_t high, bool farOut) {
  const std::int32_t near = static_cast<std::int16_t>(low | high << 8);
  // Far out the grid's loops and offsets meet the edge of the 32-bit range.
  return farOut ? INT32_MAX - 1000 + near / 64 : near;
}

Region GridOf(const std::uint8_t* grid) {
  Region region;
  region.left = Corner(grid[0], grid[1], grid[6] & 1);
  region.top = Corner(grid[2], grid[3], grid[6] & 2);
  // At most two columns and two rows of tiles.
  region.right = static_cast<std::int32_t>(
      std::min<std::int64_t>(INT32_MAX, std::int64_t{region.left} + grid[4] % 601));
  region.bottom = static_cast<std::int32_t>(
      std::min<std::int64_t>(INT32_MAX, std::int64_t{region.top} + grid[5] % 601));
  return region;
}

std::int64_t BandCapacityOf(std::uint8_t choice) {
  const std::int64_t capacities[] = {kBandCapacity, 300 * 152, 1000, 300 * 500};
  return capacities[choice % 4];
}

std::uint32_t U32At(const std::uint8_t* bytes) {
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// Bands spread over the image, read by one walk's index and by two walks'.
void CheckTwoWalks(InFile& source, const SourceImage& image, const std::uint8_t* bitmap,
                   std::size_t size) {
  const bool rle4 = size >= 34 && U32At(bitmap + 14) >= 40 && U32At(bitmap + 30) == 2;
  const SourceGeometry& geometry = image.geometry;
  if (!rle4 || geometry.RowBytes() > 4096) return;
  std::unique_ptr<PixelRows> twoWalks;
  if (IndexRle4Rows(source, geometry, U32At(bitmap + 10), twoWalks, 0) != SourceCheck::kUsable) {
    std::abort();
  }
  std::vector<std::uint8_t> one(64 * geometry.RowBytes()), two(one.size());
  for (int band = 0; band < 8; ++band) {
    const std::int64_t first = geometry.rowCount * band / 8;
    const std::int64_t count = std::min<std::int64_t>(64, geometry.rowCount - first);
    if (count <= 0) continue;
    if (!image.rows->Read(source, first, count, 0, geometry.RowBytes(), one.data()) ||
        !twoWalks->Read(source, first, count, 0, geometry.RowBytes(), two.data()) || one != two) {
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kGridBytes) return 0;
  static const std::string path = FuzzFolder() + "/area.bmp";
  static const std::string stem = FuzzFolder() + "/area";
  WriteFuzzFile(path, data + kGridBytes, size - kGridBytes);

  InFile source;
  if (!source.Open(path.c_str())) std::abort();
  SourceImage image;
  if (LoadSourceImage(source, image) != SourceCheck::kUsable) return 0;
  CheckTwoWalks(source, image, data + kGridBytes, size - kGridBytes);
  OutFile tile;
  const char* failure =
      CutTileGrid(image, source, tile, GridOf(data), stem.c_str(), BandCapacityOf(data[7]));
  if (failure != nullptr) std::abort();  // a checked source always tiles

  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      char name[512];
      std::snprintf(name, sizeof name, "%s tile %d,%d.bmp", stem.c_str(), column, row);
      std::remove(name);
    }
  }
  return 0;
}
