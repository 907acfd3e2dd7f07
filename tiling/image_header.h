// The start of a BMP file as the program keeps it: file header, the first 40
// bytes of the info header and a 16-entry palette, 118 bytes on disk.
#pragma once

#include <cstdint>

#include "fileio/file.h"

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kPaletteSize = 16 * 4;
constexpr int kImageHeaderSize = kFileHeaderSize + kInfoHeaderSize + kPaletteSize;  // 118

struct ImageHeader {
  // BITMAPFILEHEADER
  std::uint16_t bfType = 0;
  std::uint32_t bfSize = 0;
  std::uint16_t bfReserved1 = 0;
  std::uint16_t bfReserved2 = 0;
  std::uint32_t bfOffBits = 0;
  // BITMAPINFOHEADER (a larger V4 or V5 header contributes its first 40 bytes)
  std::uint32_t biSize = 0;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;
  std::uint16_t biPlanes = 0;
  std::uint16_t biBitCount = 0;
  std::uint32_t biCompression = 0;
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;
  // RGBQUAD x 16: blue, green, red, reserved
  std::uint8_t palette[kPaletteSize] = {};
};

// Reads the file header and info header from the start of `bytes`.
void DecodeHeaders(const std::uint8_t (&bytes)[kFileHeaderSize + kInfoHeaderSize],
                   ImageHeader& header);
// Writes all 118 bytes, little-endian, field by field.
void EncodeImageHeader(const ImageHeader& header, std::uint8_t (&bytes)[kImageHeaderSize]);

enum class SourceCheck { kUsable, kNotSixteenColours, kUnreadable };

// Loads the source's headers and palette and checks that the file is an
// uncompressed 4-bit BMP whose pixel rows lie inside the file and inside the
// signed 32-bit positions. kUnreadable when a read inside the file fails.
SourceCheck LoadImageHeader(InFile& source, ImageHeader& header);
