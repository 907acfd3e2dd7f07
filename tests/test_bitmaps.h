// Small 4-bit bitmaps whose every pixel is known, for the tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "tests/temp_files.h"
#include "tiling/source_image.h"

// The palette index of source pixel (x, y), y from the top. Defined also past
// biWidth, so that a row's padding holds recognisable bytes.
int PixelAt(std::int64_t x, std::int64_t y);

struct BitmapShape {
  std::int32_t width = 16;
  std::int32_t height = 8;
  std::uint32_t infoHeaderSize = 40;  // 12: OS/2 1.x, 16-bit sizes and RGB triples
  bool topDown = false;
  std::uint32_t paletteEntries = 16;  // written as biClrUsed (0 when 16)
  std::uint32_t gapAfterPalette = 0;  // extra bytes before the pixel rows
  bool rle = false;  // RLE4 (by this file's own encoder), or RLE8 of 8 bits a pixel
  // Pixels past biWidth and in a few holes (rows, a column stripe, the top
  // rows) are index 0: RLE4 skips them with deltas, end-of-line codes and an
  // early end of bitmap. RLE4 sources always have index 0 past biWidth.
  bool holes = false;
  bool zeroPadding = false;        // index 0 past biWidth, as in any image saved from an RLE4 one
  std::uint16_t bitsPerPixel = 4;  // 1 or 8: for BitmapWithPixels and IndexedPixels only
};

// The palette index that a bitmap of `shape` holds at (x, y), y from the top.
int ShapePixel(const BitmapShape& shape, std::int64_t x, std::int64_t y);

// A complete BMP file whose pixels are ShapePixel.
std::string MakeBitmap(const BitmapShape& shape);
// The headers of `shape`, then `pixels` as its pixel data (an RLE4 or RLE8
// stream when shape.rle).
std::string BitmapWithPixels(const BitmapShape& shape, const std::string& pixels);

// The stored rows of a 1- or 8-bit `shape` whose pixels are `index(x, y)`, y
// from the top; a row's padding is 0.
std::string IndexedPixels(const BitmapShape& shape,
                          const std::function<int(std::int64_t x, std::int64_t y)>& index);

// The palette entry that bitmaps from here hold at `entry`: blue, green, red
// and its fourth byte, low byte first.
std::uint32_t PaletteEntry(std::uint32_t entry);

// The same image saved the plainest way: a 40-byte info header, 4-byte
// palette entries, no compression; the same palette, gap and fields.
BitmapShape PlainShapeOf(const BitmapShape& shape);
std::string MakePlainEquivalent(const BitmapShape& shape);

// Loads `bitmap` as the program loads a source, from a file of its own;
// `image`, when given, receives what was loaded.
SourceCheck LoadSourceBytes(const std::string& bitmap, SourceImage* image = nullptr,
                            const ReadSizes& sizes = {});

// Little-endian field access into a file's bytes.
std::uint32_t U32At(const std::string& bytes, std::size_t offset);
void PutU32At(std::string& bytes, std::size_t offset, std::uint32_t value);
std::int32_t I32At(const std::string& bytes, std::size_t offset);
