#include "tiling/band_plan.h"

#include <algorithm>

namespace {

// How many tiles a length holds, one every kTileStep from its start: the
// grid's count.
std::int64_t StepsOver(std::int64_t length) {
  return length > 0 ? (length + kTileStep - 1) / kTileStep : 0;
}

// How many neighbouring tiles of kTileSize rows fit the cap side by side:
// always at least one.
std::int64_t TilesPerLoad(std::int64_t bandCapacity) {
  const std::int64_t tileRowBytes = kTileWidth / 2, stepBytes = kTileStep / 2;
  const std::int64_t bytesPerRow = bandCapacity / kTileSize;
  if (bytesPerRow <= tileRowBytes) return 1;
  return (bytesPerRow - tileRowBytes) / stepBytes + 1;
}

}  // namespace

TileColumns ColumnsOfTile(std::int64_t x, std::int32_t width) {
  // The remainder takes the sign of x, as C's % does: -301 becomes -300.
  return {x - x % 2, TileWidthFor(width)};
}

ColumnGroup BandPlan::Group(std::int64_t index) const {
  ColumnGroup group;
  group.firstTile = index * groupTiles;
  group.tiles = std::min(groupTiles, columns - group.firstTile);
  const TileColumns first = ColumnsOfTile(left + group.firstTile * kTileStep, kTileSize);
  const TileColumns last =
      ColumnsOfTile(left + (group.firstTile + group.tiles - 1) * kTileStep, kTileSize);
  group.firstByte = first.first / 2;
  group.endByte = (last.first + last.width) / 2;
  return group;
}

// The group that holds `pixel`, or one just before it, is found by
// division; the one after it begins within two groups.
std::int64_t BandPlan::NextGroupPixel(std::int64_t pixel) const {
  const std::int64_t groupPixels = groupTiles * kTileStep;
  for (std::int64_t index = std::max<std::int64_t>((pixel - left) / groupPixels, 0);
       index < GroupCount(); ++index) {
    const std::int64_t first = 2 * Group(index).firstByte;
    if (first > pixel) return first;
  }
  return kNever;
}

BandPlan PlanBands(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                   std::int64_t bandCapacity) {
  BandPlan plan;
  if (StepsOver(right - left) == 0 || StepsOver(bottom - top) == 0) return plan;
  plan.top = top;
  plan.count = StepsOver(bottom - top);
  plan.left = left;
  plan.columns = StepsOver(right - left);
  plan.groupTiles = TilesPerLoad(bandCapacity);
  return plan;
}
