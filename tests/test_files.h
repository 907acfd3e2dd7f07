// Worlds for the tests: a temporary folder, files with given bytes, and small
// 4-bit bitmaps whose every pixel is known.
#pragma once

#include <cstdint>
#include <string>

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string Path(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool Exists(const std::string& path);

// The palette index of source pixel (x, y), y from the top. Defined also past
// biWidth, so that a row's padding holds recognisable bytes.
int PixelAt(std::int64_t x, std::int64_t y);

struct BitmapShape {
  std::int32_t width = 16;
  std::int32_t height = 8;
  std::uint32_t infoHeaderSize = 40;
  bool topDown = false;
  std::uint32_t paletteEntries = 16;  // written as biClrUsed (0 when 16)
  std::uint32_t gapAfterPalette = 0;  // extra bytes before the pixel rows
};

// A complete BMP file whose pixels are PixelAt.
std::string MakeBitmap(const BitmapShape& shape);

// Little-endian field access into a file's bytes.
std::uint32_t U32At(const std::string& bytes, std::size_t offset);
std::int32_t I32At(const std::string& bytes, std::size_t offset);
