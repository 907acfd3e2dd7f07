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
  // Once checked: which of the file's `entries` palette entries the 4-bit
  // rows' indices name, in order, into `order`; how many. The first 16 at
  // most, unless the pixels are renumbered.
  virtual int PaletteOrder(std::int64_t entries, std::uint8_t (&order)[16]) const;
  // Fills `count` rows of `rowBytes` bytes each, back to back in `out`, with
  // bytes [firstByte, firstByte + rowBytes) of stored rows [firstStored,
  // firstStored + count), stored row 0 being the first in the file. All of it
  // lies inside the stored rows, and within what Reserve made room for.
  // False when the source cannot be read.
  virtual bool Read(InFile& source, std::int64_t firstStored, std::int64_t count,
                    std::int64_t firstByte, std::int64_t rowBytes, std::uint8_t* out) = 0;
};

// Pixel rows own their memory from the C runtime, so that running out of it
// is told (NewObject in fileio/buffer.h); each of these is null then.
using PixelRowsObject = std::unique_ptr<PixelRows, FreeObject>;

// Rows stored as they are, from `pixelOffset` on.
PixelRowsObject UncompressedRows(const SourceGeometry& geometry, std::int64_t pixelOffset);
// Rows of 1 or 8 bits a pixel (`bits`), uncompressed, from `pixelOffset` on,
// each pixel its palette index. 8-bit pixels use at most 16 indices, or the
// check refuses them; when one of them is 16 or more, they are renumbered
// 0, 1, 2, ... in the order of the indices. The check reads them all once,
// in blocks as `sizes` say.
PixelRowsObject IndexedRows(const SourceGeometry& geometry, int bits, std::int64_t pixelOffset,
                            const ReadSizes& sizes);
// Rows compressed as RLE4 (`bits` 4, biCompression 2), the stream from
// `streamOffset` on. The check walks the whole stream once, to its
// end-of-bitmap code, and notes where the bands of the plan begin, so that
// each is decoded from there; a band fetched in column groups is walked
// about once in all.
PixelRowsObject RleRows(const SourceGeometry& geometry, int bits, std::int64_t streamOffset,
                        const ReadSizes& sizes);
