// Arbitrary bytes as the source bitmap (headers, sizes, offsets, truncation),
// loaded, checked and cut into a small grid of tiles that the input also
// chooses: its first bytes place the grid and set the read sizes, small
// enough that a short stream crosses many read blocks, column groups and
// noted band starts. Every band of an RLE4 or RLE8 source, fetched whole
// and in column groups that resume one another, must hold what the tests'
// reference decoder makes of the stream; the groups that the source plans
// for need not be those the grid loads.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/tile_grid.h"
#include "fuzz/fuzz_files.h"
#include "tests/rle_reference.h"
#include "tiling/source_image.h"

namespace {

constexpr std::size_t kChoiceBytes = 11;

std::int32_t Corner(std::uint8_t low, std::uint8_t high, bool farOut) {
  const std::int32_t near = static_cast<std::int16_t>(low | high << 8);
  // Far out the grid's loops and offsets meet the edge of the 32-bit range.
  return farOut ? INT32_MAX - 1000 + near / 64 : near;
}

Region GridOf(const std::uint8_t* choice) {
  Region region;
  region.left = Corner(choice[0], choice[1], choice[6] & 1);
  region.top = Corner(choice[2], choice[3], choice[6] & 2);
  // At most three columns and three rows of tiles.
  region.right = static_cast<std::int32_t>(
      std::min<std::int64_t>(INT32_MAX, std::int64_t{region.left} + choice[4] * 3));
  region.bottom = static_cast<std::int32_t>(
      std::min<std::int64_t>(INT32_MAX, std::int64_t{region.top} + choice[5] * 3));
  return region;
}

// The program's sizes, or small ones: blocks from a longest code up, caps of
// part of a tile to a few, two to four noted starts.
ReadSizes SizesOf(const std::uint8_t* choice) {
  ReadSizes sizes;
  const std::int64_t capacities[] = {sizes.bandCapacity, 300 * 152, 1000, 300 * 500};
  sizes.bandCapacity = capacities[choice[7] % 4];
  if (choice[8] != 255) sizes.readBlock = 130 + std::size_t{choice[8]} * 3;
  if (choice[9] < 192) sizes.notedStarts = 2 + choice[9] % 3;
  return sizes;
}

// The grid's plan, or one of other column groups.
BandPlan PlanOf(const Region& grid, const ReadSizes& sizes, const std::uint8_t* choice) {
  BandPlan plan = BandsOf(grid, sizes.bandCapacity);
  if (choice[10] % 2 != 0) plan.groupTiles = 1 + choice[10] / 2 % 3;
  return plan;
}

std::uint32_t U32At(const std::uint8_t* bytes) {
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// How many RLE4 and RLE8 sources were compared with the reference when read
// in small blocks, said when the fuzzer ends.
std::size_t smallBlockChecks[2] = {};
const int sayChecks = std::atexit([] {
  std::fprintf(stderr, "stat::rle4_checked_in_small_blocks: %zu\n", smallBlockChecks[0]);
  std::fprintf(stderr, "stat::rle8_checked_in_small_blocks: %zu\n", smallBlockChecks[1]);
});

// An RLE source small enough to decode whole, as the reference sees its
// headers; the program has accepted it, so the reference must too.
void CheckAgainstReference(InFile& source, const SourceImage& image, const BandPlan& plan,
                           const std::uint8_t* file, std::size_t size, const std::uint8_t* choice) {
  // Accepted, its headers are whole: an info header of 40 bytes or more
  // holds biCompression.
  const std::uint32_t compression = U32At(file + 30);
  if (U32At(file + 14) < 40 || (compression != 1 && compression != 2)) return;
  const SourceGeometry& geometry = image.geometry;
  if (geometry.RowBytes() > 2048 || geometry.rowCount > 2048) return;
  const std::uint32_t offset = U32At(file + 10);
  if (offset > size) std::abort();  // the check found the stream in the file
  const auto width = static_cast<std::int32_t>(geometry.width);
  const auto height = static_cast<std::int32_t>(geometry.rowCount);
  const std::optional<std::string> pixels =
      DecodeRle(std::string(reinterpret_cast<const char*>(file) + offset, size - offset), width,
                height, compression == 1 ? 8 : 4);
  if (!pixels.has_value()) std::abort();
  const std::string expected = FourBitRows(*pixels, width, height);
  if (!BandsMatch(source, image, plan, 1 + choice[10] / 8 % 3, expected)) std::abort();
  if (SizesOf(choice).readBlock < ReadSizes().readBlock) ++smallBlockChecks[compression == 1];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kChoiceBytes) return 0;
  static const std::string path = FuzzFolder() + "/area.bmp";
  static const std::string stem = FuzzFolder() + "/area";
  const std::uint8_t* const file = data + kChoiceBytes;
  WriteFuzzFile(path, file, size - kChoiceBytes);

  InFile source;
  if (!source.Open(path.c_str())) std::abort();
  const Region grid = GridOf(data);
  const ReadSizes sizes = SizesOf(data);
  SourceImage image;
  const BandPlan plan = PlanOf(grid, sizes, data);
  if (LoadSourceImage(source, image, plan, sizes) != SourceCheck::kUsable) return 0;
  OutFile tile;
  const char* failure = CutTileGrid(image, source, tile, grid, stem.c_str(), sizes);
  if (failure != nullptr) std::abort();  // a checked source always tiles
  CheckAgainstReference(source, image, plan, file, size - kChoiceBytes, data);

  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      char name[512];
      std::snprintf(name, sizeof name, "%s tile %d,%d.bmp", stem.c_str(), column, row);
      std::remove(name);
    }
  }
  return 0;
}
