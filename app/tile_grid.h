// The tile grid: every 300 pixels over the region, rows outer, columns inner,
// each tile named "<stem> tile <column>,<row>.bmp".
#pragma once

#include <cstdint>

#include "app/map_description.h"
#include "fileio/file.h"
#include "tiling/band.h"
#include "tiling/read_sizes.h"
#include "tiling/source_image.h"

// The bands of source rows that the rows of tiles of `region` cover, and
// their column groups, for bands of at most `bandCapacity` bytes.
BandPlan BandsOf(const Region& region, std::int64_t bandCapacity);

// Cuts every tile of `region` out of `source` through `tile`. Stops at the
// first failure: the tiles finished before it stay, the one being written is
// removed. Returns that failure's message, or null after the last tile.
// Its bands hold at most `sizes.bandCapacity` bytes.
const char* CutTileGrid(const SourceImage& image, InFile& source, OutFile& tile,
                        const Region& region, const char* stem, const ReadSizes& sizes);
