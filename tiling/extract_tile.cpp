#include "tiling/extract_tile.h"

#include <algorithm>
#include <cstring>

#include "tiling/source_geometry.h"

namespace {

// Up to this pixel offset the tile goes out in one write, the gap after the
// palette written as zeros; beyond it the file system's zeros fill the gap.
constexpr std::int64_t kLargestInlineGap = std::int64_t{1} << 20;

// The tile's pixel rows, bottom-up, everything outside the source at palette
// index 0. Every byte is written, as the buffer holds the previous tile.
void CopyTilePixels(const SourceGeometry& geometry, const Band& band, TileColumns columns,
                    std::int32_t y, std::int32_t height, std::uint8_t* pixels) {
  const StoredSpan span = StoredColumns(geometry, columns.first, columns.width);
  const std::int64_t rowBytes = columns.width / 2;
  const std::int64_t spanEnd = span.tileByte + span.byteCount;
  for (std::int32_t i = 0; i < height; ++i) {
    const std::int64_t row = std::int64_t{y} + i;
    std::uint8_t* target = pixels + (height - 1 - i) * rowBytes;
    if (span.byteCount == 0 || !IsStoredRow(geometry, row)) {
      std::memset(target, 0, rowBytes);
      continue;
    }
    if (span.tileByte > 0) std::memset(target, 0, span.tileByte);
    std::memcpy(target + span.tileByte, band.At(row, span.rowByte), span.byteCount);
    if (spanEnd < rowBytes) std::memset(target + spanEnd, 0, rowBytes - spanEnd);
  }
}

}  // namespace

ImageHeader TileHeaderFor(const ImageHeader& source, std::int32_t tileWidth, std::int32_t height) {
  ImageHeader tile = source;
  // The file's true length: readers refuse a tile shorter than it claims.
  tile.bfSize = static_cast<std::uint32_t>(source.bfOffBits + std::int64_t{tileWidth} * height / 2);
  tile.biSize = kInfoHeaderSize;
  tile.biWidth = tileWidth;
  tile.biHeight = height;
  tile.biSizeImage = 0;
  return tile;
}

// Up to kLargestInlineGap the whole file, header and gap included; beyond
// it only the pixels.
std::int64_t TileBufferBytes(const ImageHeader& header, std::int32_t width, std::int32_t height) {
  const std::int64_t pixelBytes = TileWidthFor(width) / 2 * height;
  const std::int64_t pixelOffset = header.bfOffBits;
  if (pixelOffset > kLargestInlineGap) return pixelBytes;
  return std::max<std::int64_t>(kImageHeaderSize, pixelOffset + pixelBytes);
}

bool ExtractTile(const SourceImage& image, const Band& band, OutFile& tile, std::int32_t x,
                 std::int32_t y, std::int32_t width, std::int32_t height, TileBuffer& buffer) {
  const ImageHeader& header = image.header;
  const TileColumns columns = ColumnsOfTile(x, width);
  const std::int64_t pixelBytes = columns.width / 2 * height;
  const std::int64_t pixelOffset = header.bfOffBits;
  std::uint8_t headerBytes[kImageHeaderSize];
  EncodeImageHeader(TileHeaderFor(header, static_cast<std::int32_t>(columns.width), height),
                    headerBytes);
  // The run has made room before its first tile.
  const std::int64_t bufferBytes = TileBufferBytes(header, width, height);
  if (!buffer.Reserve(static_cast<std::size_t>(bufferBytes))) return false;

  if (pixelOffset > kLargestInlineGap) {
    CopyTilePixels(image.geometry, band, columns, y, height, buffer.data());
    return tile.Write(headerBytes, sizeof headerBytes) && tile.SetPosition(pixelOffset) &&
           tile.Write(buffer.data(), static_cast<std::uint32_t>(pixelBytes));
  }
  // The header first, the rows after, as the file holds them: where the
  // pixel offset is below 118 the rows overwrite the end of the palette.
  std::memcpy(buffer.data(), headerBytes, sizeof headerBytes);
  if (pixelOffset > kImageHeaderSize) {
    std::memset(buffer.data() + kImageHeaderSize, 0, pixelOffset - kImageHeaderSize);
  }
  CopyTilePixels(image.geometry, band, columns, y, height, buffer.data() + pixelOffset);
  return tile.Write(buffer.data(), static_cast<std::uint32_t>(bufferBytes));
}
