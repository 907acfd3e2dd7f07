// A source bitmap as the tiles see it, whatever variant of 16-colour BMP its
// file is: OS/2 1.x or 2.x, a 40-byte info header or a larger one (V2 to
// V5), 3- or 4-byte palette entries, a short palette, 1, 4 or 8 bits a
// pixel, uncompressed, RLE4 or RLE8.
#pragma once

#include <memory>

#include "fileio/file.h"
#include "tiling/image_header.h"
#include "tiling/pixel_rows.h"
#include "tiling/source_geometry.h"

struct SourceImage {
  // What the same image saved with a 40-byte info header, 4-byte palette
  // entries and no compression would start with: the same palette entries,
  // gap after them and other fields. Pixels of 1 or 8 bits become 4-bit
  // ones, with a palette of 16 entries.
  ImageHeader header;
  SourceGeometry geometry;
  PixelRowsObject rows;
};

// Loads and checks the source: a 16-colour BMP of a known variant whose
// pixel data lies inside the file (an RLE stream is read to its end once),
// and prepares the fetches of the bands of `plan`, reading as `sizes` say.
// kUnreadable when a read of the file fails.
SourceCheck LoadSourceImage(InFile& source, SourceImage& image, const BandPlan& plan = {},
                            const ReadSizes& sizes = {});
