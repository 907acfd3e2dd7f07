// The start of a BMP file in its plainest form: file header, a 40-byte info
// header and 16 palette entries of 4 bytes, 118 bytes on disk. Every source
// variant is described in this form, and every tile starts with it.
#pragma once

#include <cstdint>

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
  // BITMAPINFOHEADER
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

// Writes all 118 bytes, little-endian, field by field.
void EncodeImageHeader(const ImageHeader& header, std::uint8_t (&bytes)[kImageHeaderSize]);
