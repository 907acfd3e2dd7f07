// Writes a 16-colour BMP of the given size for the benchmark:
//   make_map PATH WIDTH HEIGHT
// Its pixels vary (blocks, diagonals) so that no layer can take shortcuts
// over uniform data.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void PutU16(std::FILE* out, std::uint32_t value) {
  std::fputc(value & 0xFF, out);
  std::fputc(value >> 8 & 0xFF, out);
}

void PutU32(std::FILE* out, std::uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}

int PixelAt(std::uint32_t x, std::uint32_t y) {
  return static_cast<int>((x / 37 ^ y / 29 ^ (x + y) / 11) & 15);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: make_map PATH WIDTH HEIGHT\n");
    return 2;
  }
  const std::uint32_t width = std::strtoul(argv[2], nullptr, 10);
  const std::uint32_t height = std::strtoul(argv[3], nullptr, 10);
  const std::uint32_t rowBytes = (width + 7) / 8 * 4;
  const std::uint32_t offBits = 14 + 40 + 64;
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  std::fputs("BM", out);
  PutU32(out, offBits + rowBytes * height);
  PutU32(out, 0);
  PutU32(out, offBits);
  PutU32(out, 40);
  PutU32(out, width);
  PutU32(out, height);
  PutU16(out, 1);
  PutU16(out, 4);
  PutU32(out, 0);
  PutU32(out, rowBytes * height);
  PutU32(out, 2835);
  PutU32(out, 2835);
  PutU32(out, 16);
  PutU32(out, 0);
  for (std::uint32_t i = 0; i < 16; ++i) PutU32(out, i * 0x00111111);
  std::vector<unsigned char> row(rowBytes);
  for (std::uint32_t stored = 0; stored < height; ++stored) {
    const std::uint32_t y = height - 1 - stored;
    for (std::uint32_t x = 0; x < width; x += 2) {
      row[x / 2] = static_cast<unsigned char>(PixelAt(x, y) << 4 | PixelAt(x + 1, y));
    }
    std::fwrite(row.data(), 1, row.size(), out);
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
