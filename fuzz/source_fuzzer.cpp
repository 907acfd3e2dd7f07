// Arbitrary bytes as the source bitmap (headers, sizes, offsets, truncation),
// loaded, checked and cut into a small grid of tiles that the input also
// chooses: its first 8 bytes place the grid and size the band. The grid's
// bands must also come out the same when fetched with no band start noted.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/tile_grid.h"
#include "fuzz/fuzz_files.h"
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

// Every band of the grid, fetched from where the check noted that it begins
// and fetched with no band noted, must hold the same rows.
void CheckBandStarts(InFile& source, const SourceImage& planned, const BandPlan& plan) {
  const SourceGeometry& geometry = planned.geometry;
  if (geometry.RowBytes() > 4096) return;
  SourceImage unplanned;
  if (LoadSourceImage(source, unplanned) != SourceCheck::kUsable) std::abort();
  for (std::int64_t band = 0; band < plan.count; ++band) {
    const StoredRows rows = StoredRowsOf(geometry, plan.top + band * plan.rows, plan.rows);
    if (rows.count == 0) continue;
    std::vector<std::uint8_t> noted(rows.count * geometry.RowBytes()), unnoted(noted.size());
    if (!planned.rows->Read(source, rows.first, rows.count, 0, geometry.RowBytes(), noted.data()) ||
        !unplanned.rows->Read(source, rows.first, rows.count, 0, geometry.RowBytes(),
                              unnoted.data()) ||
        noted != unnoted) {
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
  const Region grid = GridOf(data);
  SourceImage image;
  if (LoadSourceImage(source, image, BandsOf(grid)) != SourceCheck::kUsable) return 0;
  CheckBandStarts(source, image, BandsOf(grid));
  OutFile tile;
  const char* failure =
      CutTileGrid(image, source, tile, grid, stem.c_str(), BandCapacityOf(data[7]));
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
