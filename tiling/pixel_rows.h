// The source's stored pixel rows, fetched in the layout of an uncompressed
// 4-bit BMP (two pixels a byte, rows S / 2 bytes long, padding included)
// whatever the file holds, so that nothing after them asks which kind of
// file it was.
#pragma once

#include <cstdint>
#include <memory>

#include "fileio/file.h"
#include "tiling/source_geometry.h"

class PixelRows {
 public:
  virtual ~PixelRows() = default;
  // Fills `count` rows of `rowBytes` bytes each, back to back in `out`, with
  // bytes [firstByte, firstByte + rowBytes) of stored rows [firstStored,
  // firstStored + count), stored row 0 being the first in the file. All of it
  // lies inside the stored rows. False when the source cannot be read.
  virtual bool Read(InFile& source, std::int64_t firstStored, std::int64_t count,
                    std::int64_t firstByte, std::int64_t rowBytes, std::uint8_t* out) = 0;
};

// Rows stored as they are, from `pixelOffset` on.
std::unique_ptr<PixelRows> UncompressedRows(const SourceGeometry& geometry,
                                            std::int64_t pixelOffset);
