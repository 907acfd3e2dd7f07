#include "tiling/extract_tile.h"

#include <vector>

#include "tiling/source_geometry.h"

namespace {

std::int64_t RoundUpToMultipleOf8(std::int64_t pixels) {
  return (pixels + 7) / 8 * 8;
}

// Two pixels share a byte, so the copy starts on an even column; the
// remainder takes the sign of x, as C's % does (-301 becomes -300).
std::int64_t EvenColumn(std::int32_t x) {
  return x - x % 2;
}

// The tile's pixel rows, bottom-up, with everything outside the source left
// at palette index 0.
bool ReadTilePixels(const ImageHeader& header, InFile& source, std::int64_t firstColumn,
                    std::int32_t y, std::int64_t tileWidth, std::int32_t height,
                    std::vector<std::uint8_t>& pixels) {
  const SourceGeometry geometry = GeometryOf(header);
  const std::int64_t rowBytes = tileWidth / 2;
  for (std::int32_t i = 0; i < height; ++i) {
    const StoredSpan span = SpanInSource(geometry, std::int64_t{y} + i, firstColumn, tileWidth);
    if (span.byteCount == 0) continue;
    std::uint8_t* target = pixels.data() + (height - 1 - i) * rowBytes + span.tileByte;
    if (!source.SetPosition(static_cast<std::int32_t>(span.sourceOffset)) ||
        !source.Read(target, static_cast<std::uint32_t>(span.byteCount))) {
      return false;
    }
  }
  return true;
}

}  // namespace

ImageHeader TileHeaderFor(const ImageHeader& source, std::int32_t tileWidth, std::int32_t height) {
  ImageHeader tile = source;
  tile.bfSize = static_cast<std::uint32_t>(std::int64_t{tileWidth} * height / 2 + kImageHeaderSize);
  tile.biSize = kInfoHeaderSize;
  tile.biWidth = tileWidth;
  tile.biHeight = height;
  tile.biSizeImage = 0;
  return tile;
}

TileResult ExtractTile(const ImageHeader& header, InFile& source, OutFile& tile, std::int32_t x,
                       std::int32_t y, std::int32_t width, std::int32_t height) {
  const std::int64_t tileWidth = RoundUpToMultipleOf8(width);
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(tileWidth / 2 * height), 0);
  if (!ReadTilePixels(header, source, EvenColumn(x), y, tileWidth, height, pixels)) {
    return TileResult::kSourceUnreadable;
  }

  std::uint8_t headerBytes[kImageHeaderSize];
  EncodeImageHeader(TileHeaderFor(header, static_cast<std::int32_t>(tileWidth), height),
                    headerBytes);
  // Header first, rows after: where bfOffBits is below 118 the rows overwrite
  // the end of the palette, and where it is above, the file system's zeros
  // fill the gap.
  const bool written = tile.Write(headerBytes, sizeof headerBytes) &&
                       tile.SetPosition(static_cast<std::int32_t>(header.bfOffBits)) &&
                       tile.Write(pixels.data(), static_cast<std::uint32_t>(pixels.size()));
  return written ? TileResult::kWritten : TileResult::kTileUnwritable;
}
