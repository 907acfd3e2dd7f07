// Cutting a whole grid of tiles in-process, as the run does, and comparing
// grids tile for tile.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "app/map_description.h"
#include "tiling/read_sizes.h"

struct GridCut {
  std::map<std::string, std::string> tiles;  // by name, " tile 0,0.bmp" on
  std::uint64_t bytesRead = 0;               // from the source, through the file layer
  std::uint64_t reads = 0;                   // the reads that took them
};

// Loads `bitmap`, followed in its file by `sparseTail` bytes of nothing,
// and cuts every tile of `region` out of it, reading as `sizes` say.
GridCut CutGrid(const std::string& bitmap, const Region& region, const ReadSizes& sizes,
                std::uint64_t sparseTail = 0);

// Both grids tile for tile, each tile's bfSize its length.
void ExpectSameTiles(const GridCut& cut, const GridCut& expected);
