#include "tests/test_files.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::random_device random;
  path_ = (fs::temp_directory_path() / ("gridsaw-test-" + std::to_string(random()))).string();
  fs::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool Exists(const std::string& path) {
  return fs::exists(path);
}

int PixelAt(std::int64_t x, std::int64_t y) {
  return static_cast<int>((x * 7 + y * 3 + x / 5) & 15);
}

namespace {

void PutU16(std::string& out, std::uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8 & 0xFF);
}

void PutU32(std::string& out, std::uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}

}  // namespace

std::string MakeBitmap(const BitmapShape& shape) {
  const std::uint32_t rowPixels = (shape.width + 7) / 8 * 8;
  const std::uint32_t offBits =
      14 + shape.infoHeaderSize + 4 * shape.paletteEntries + shape.gapAfterPalette;
  const std::uint32_t pixelBytes = rowPixels / 2 * shape.height;

  std::string out;
  out += "BM";
  PutU32(out, offBits + pixelBytes);
  PutU32(out, 0x00020001);  // both reserved words, so a test sees them kept
  PutU32(out, offBits);
  PutU32(out, shape.infoHeaderSize);
  PutU32(out, shape.width);
  PutU32(out, shape.topDown ? -shape.height : shape.height);
  PutU16(out, 1);
  PutU16(out, 4);
  PutU32(out, 0);
  PutU32(out, pixelBytes);
  PutU32(out, 2835);
  PutU32(out, 2836);
  PutU32(out, shape.paletteEntries == 16 ? 0 : shape.paletteEntries);
  PutU32(out, 3);
  out.append(shape.infoHeaderSize - 40, '\x11');
  for (std::uint32_t entry = 0; entry < shape.paletteEntries; ++entry) {
    PutU32(out, 0x00010203 * (entry + 1));
  }
  out.append(shape.gapAfterPalette, '\x5A');
  for (std::int32_t stored = 0; stored < shape.height; ++stored) {
    const std::int32_t y = shape.topDown ? stored : shape.height - 1 - stored;
    for (std::uint32_t x = 0; x < rowPixels; x += 2) {
      out += static_cast<char>(PixelAt(x, y) << 4 | PixelAt(x + 1, y));
    }
  }
  return out;
}

std::uint32_t U32At(const std::string& bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[offset + i]);
  return value;
}

std::int32_t I32At(const std::string& bytes, std::size_t offset) {
  return static_cast<std::int32_t>(U32At(bytes, offset));
}
