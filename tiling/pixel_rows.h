// The source's stored pixel rows, fetched in the layout of an uncompressed
// 4-bit BMP (two pixels a byte, rows S / 2 bytes long, padding included)
// whatever the file holds, 1 or 8 bits a pixel included, so that nothing
// after them asks which kind of file it was.
#pragma once

#include <cstdint>
#include <memory>

#include "fileio/buffer.h"
#include "fileio/file.h"
#include "tiling/band_plan.h"
#include "tiling/image_header.h"
#include "tiling/palette_map.h"
#include "tiling/read_sizes.h"
#include "tiling/source_geometry.h"

// What checking a source's pixels found: kUnreadable when a read of the file
// failed, kNoMemory when the room to read it could not be had.
enum class SourceCheck { kUsable, kNotSixteenColours, kUnreadable, kNoMemory };

class PixelRows {
 public:
  virtual ~PixelRows() = default;
  // Checks, before the first fetch, that the rows lie inside the file, and
  // prepares the fetches of the bands of `plan` (any others still work).
  // kUnreadable when a read of the file fails.
  virtual SourceCheck Check(InFile& source, const BandPlan& plan) = 0;
  // The file offset just past the pixel data: once checked, all before it
  // is in the file.
  virtual std::int64_t DataEnd() const = 0;
  // Takes, before the first fetch, the room that fetches of up to `rows`
  // rows of `rowBytes` bytes need. False when memory runs out.
  virtual bool Reserve(std::int64_t /*rows*/, std::int64_t /*rowBytes*/) { return true; }
  // Once checked: the pixel values the check found, where it reads the
  // pixels to know them (8 bits a pixel), 256 flags; null where the values
  // are 4-bit indices already.
  virtual const bool* ValuesUsed() const { return nullptr; }
  // How the values become 4-bit indices, once checked and before the first
  // fetch.
  void UsePalette(const PaletteMap& palette) { palette_ = palette; }
  // Fills `count` rows of `rowBytes` bytes each, back to back in `out`, with
  // bytes [firstByte, firstByte + rowBytes) of stored rows [firstStored,
  // firstStored + count), stored row 0 being the first in the file. All of it
  // lies inside the stored rows, and within what Reserve made room for.
  // False when the source cannot be read.
  virtual bool Read(InFile& source, std::int64_t firstStored, std::int64_t count,
                    std::int64_t firstByte, std::int64_t rowBytes, std::uint8_t* out) = 0;

 protected:
  PaletteMap palette_;
};

// Pixel rows own their memory from the C runtime, so that running out of it
// is told (NewObject in fileio/buffer.h); each of these is null then.
using PixelRowsObject = std::unique_ptr<PixelRows, FreeObject>;

// Rows stored as they are, from `pixelOffset` on.
PixelRowsObject UncompressedRows(const SourceGeometry& geometry, std::int64_t pixelOffset);
// Rows of 1 or 8 bits a pixel (`bits`), uncompressed, from `pixelOffset` on,
// each pixel its palette index. The check reads 8-bit ones all once, in
// blocks as `sizes` say, to find the values they take.
PixelRowsObject IndexedRows(const SourceGeometry& geometry, int bits, std::int64_t pixelOffset,
                            const ReadSizes& sizes);
// Rows compressed as RLE4 (`bits` 4, biCompression 2) or RLE8 (`bits` 8,
// biCompression 1), the stream from `streamOffset` on. The check walks the
// whole stream once, to its end-of-bitmap code: it finds the values that
// 8-bit pixels take, and notes where the bands of the plan begin, so that
// each is decoded from there; a band fetched in column groups is walked
// about once in all.
PixelRowsObject RleRows(const SourceGeometry& geometry, int bits, std::int64_t streamOffset,
                        const ReadSizes& sizes);
