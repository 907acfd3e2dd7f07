// RLE4-compressed pixel rows (biCompression 2), decoded band by band in
// fixed memory: one pass over the stream, before the first tile, checks it
// and notes where every few rows begin; each band is then decoded from the
// nearest such point before it.
#pragma once

#include <memory>

#include "tiling/image_header.h"
#include "tiling/pixel_rows.h"
#include "tiling/rle4_index.h"

// Scans the stream that starts at `streamOffset`. kNotSixteenColours when
// the file ends before the stream's end-of-bitmap code. Streams of
// `splitFrom` bytes or more are scanned from both halves at once.
SourceCheck IndexRle4Rows(InFile& source, const SourceGeometry& geometry, std::int64_t streamOffset,
                          std::unique_ptr<PixelRows>& rows,
                          std::int64_t splitFrom = rle4::kSplitStreamBytes);
