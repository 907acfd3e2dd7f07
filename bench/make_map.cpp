// Writes a 16-colour BMP of the given size for the benchmark:
//   make_map PATH WIDTH HEIGHT [rle4 | rle4pairs | 8bit | rle8]
// Its pixels vary (blocks, diagonals) so that no layer can take shortcuts
// over uniform data. With rle4 the rows are RLE4-compressed as an editor
// would: runs of one colour encoded, stretches of short runs absolute. With
// rle4pairs every two pixels are one encoded run, one stream byte a pixel:
// the most codes a stream can hold for its pixels. With 8bit they take a
// byte each, their 16 colours at indices 0, 17, ..., 255 of a 256-entry
// palette, as Pillow saves 16 levels of grey; rle8 is those bytes
// RLE8-compressed as ImageMagick would.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
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

// Pixel runs of one colour, at most 255 long.
std::size_t RunAt(const std::vector<unsigned char>& pixels, std::size_t x) {
  std::size_t n = 1;
  while (x + n < pixels.size() && n < 255 && pixels[x + n] == pixels[x]) ++n;
  return n;
}

// A row of pixel values, `bits` (4 or 8) each, RLE-compressed.
std::vector<unsigned char> RleRow(const std::vector<unsigned char>& pixels, int bits, bool pairs) {
  std::vector<unsigned char> out;
  auto colours = [bits](int value) { return bits == 8 ? value : value << 4 | value; };
  for (std::size_t x = 0; pairs && x < pixels.size(); x += 2) {
    out.push_back(static_cast<unsigned char>(x + 1 < pixels.size() ? 2 : 1));
    out.push_back(
        static_cast<unsigned char>(pixels[x] << 4 | (x + 1 < pixels.size() ? pixels[x + 1] : 0)));
  }
  for (std::size_t x = 0; !pairs && x < pixels.size();) {
    const std::size_t run = RunAt(pixels, x);
    if (run >= 3 || pixels.size() - x < 3) {
      out.push_back(static_cast<unsigned char>(run));
      out.push_back(static_cast<unsigned char>(colours(pixels[x])));
      x += run;
      continue;
    }
    std::size_t n = 3;
    while (x + n < pixels.size() && n < 255 && RunAt(pixels, x + n) < 3) ++n;
    out.push_back(0);
    out.push_back(static_cast<unsigned char>(n));
    const std::size_t start = out.size();
    for (std::size_t i = 0; i < n; i += 8 / bits) {
      out.push_back(static_cast<unsigned char>(
          bits == 8 ? pixels[x + i] : pixels[x + i] << 4 | (i + 1 < n ? pixels[x + i + 1] : 0)));
    }
    if ((out.size() - start) % 2 != 0) out.push_back(0);  // absolute runs end on 16 bits
    x += n;
  }
  out.push_back(0);  // end of line
  out.push_back(0);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string kind = argc == 5 ? argv[4] : "";
  const bool pairs = kind == "rle4pairs", rle4 = pairs || kind == "rle4", rle8 = kind == "rle8";
  const bool eightBit = rle8 || kind == "8bit";
  if (argc != 4 && !rle4 && !eightBit) {
    std::fprintf(stderr, "usage: make_map PATH WIDTH HEIGHT [rle4 | rle4pairs | 8bit | rle8]\n");
    return 2;
  }
  const std::uint32_t width = std::strtoul(argv[2], nullptr, 10);
  const std::uint32_t height = std::strtoul(argv[3], nullptr, 10);
  const std::uint32_t rowBytes = eightBit ? (width + 3) / 4 * 4 : (width + 7) / 8 * 4;
  const std::uint32_t entries = eightBit ? 256 : 16;
  const std::uint32_t offBits = 14 + 40 + 4 * entries;
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  // The sizes are written once the pixels are: RLE's are known only then.
  std::vector<unsigned char> header(offBits);
  std::fwrite(header.data(), 1, header.size(), out);
  std::uint64_t pixelBytes = 0;
  std::vector<unsigned char> row(rowBytes);
  std::vector<unsigned char> pixels(width);
  for (std::uint32_t stored = 0; stored < height; ++stored) {
    const std::uint32_t y = height - 1 - stored;
    if (rle4 || rle8) {
      for (std::uint32_t x = 0; x < width; ++x)
        pixels[x] = static_cast<unsigned char>(PixelAt(x, y) * (rle8 ? 17 : 1));
      const std::vector<unsigned char> encoded = RleRow(pixels, rle8 ? 8 : 4, pairs);
      std::fwrite(encoded.data(), 1, encoded.size(), out);
      pixelBytes += encoded.size();
      continue;
    }
    for (std::uint32_t x = 0; x < width; x += eightBit ? 1 : 2) {
      row[eightBit ? x : x / 2] = static_cast<unsigned char>(
          eightBit ? PixelAt(x, y) * 17 : PixelAt(x, y) << 4 | PixelAt(x + 1, y));
    }
    std::fwrite(row.data(), 1, row.size(), out);
    pixelBytes += row.size();
  }
  if (rle4 || rle8) {
    const unsigned char endOfBitmap[] = {0, 1};
    std::fwrite(endOfBitmap, 1, 2, out);
    pixelBytes += 2;
  }
  std::rewind(out);
  std::fputs("BM", out);
  PutU32(out, static_cast<std::uint32_t>(offBits + pixelBytes));
  PutU32(out, 0);
  PutU32(out, offBits);
  PutU32(out, 40);
  PutU32(out, width);
  PutU32(out, height);
  PutU16(out, 1);
  PutU16(out, eightBit ? 8 : 4);
  PutU32(out, rle4 ? 2 : rle8 ? 1 : 0);
  PutU32(out, static_cast<std::uint32_t>(pixelBytes));
  PutU32(out, 2835);
  PutU32(out, 2835);
  PutU32(out, entries);
  PutU32(out, 0);
  for (std::uint32_t i = 0; i < entries; ++i) {
    PutU32(out, eightBit ? (i % 17 == 0 ? i / 17 * 0x00111111 : 0) : i * 0x00111111);
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
