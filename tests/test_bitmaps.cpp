#include "tests/test_bitmaps.h"

#include <algorithm>
#include <utility>

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

namespace {

bool InHole(const BitmapShape& shape, std::int64_t x, std::int64_t y) {
  const std::int64_t stripe = shape.width / 3;
  return shape.holes && (y < 3 || y % 97 < 5 || (x >= stripe && x < stripe + 40));
}

// RLE4 the way a careful encoder writes it, one stored row at a time:
// encoded runs where two pixels alternate, odd and even absolute runs
// elsewhere, deltas over holes and blank rows, end of line, and an early end
// of bitmap once only blank rows are left.
class Rle4Encoder {
 public:
  explicit Rle4Encoder(const BitmapShape& shape) : shape_(shape) {}

  std::string Encode() {
    std::int32_t stored = 0;
    for (;;) {
      std::int32_t blank = 0;
      while (stored + blank < shape_.height && RowIsBlank(stored + blank)) ++blank;
      if (stored + blank == shape_.height) break;
      for (std::int32_t left = blank; left > 0; left -= 255) {
        if (shape_.holes) {
          Code(0, 2, 0, std::min(left, 255));
        } else {
          for (std::int32_t i = 0; i < std::min(left, 255); ++i) Code(0, 0);
        }
      }
      stored += blank;
      Row(stored++);
      Code(0, 0);
    }
    Code(0, 1);
    return out_;
  }

 private:
  int Pixel(std::int32_t stored, std::int64_t x) const {
    return ShapePixel(shape_, x, shape_.height - 1 - stored);
  }
  bool RowIsBlank(std::int32_t stored) const {
    for (std::int64_t x = 0; x < shape_.width; ++x) {
      if (Pixel(stored, x) != 0) return false;
    }
    return true;
  }
  void Code(int a, int b) {
    out_ += static_cast<char>(a);
    out_ += static_cast<char>(b);
  }
  void Code(int a, int b, int c, int d) {
    Code(a, b);
    Code(c, d);
  }
  // How many pixels from x on alternate between its first two: at most 255.
  std::int64_t AlternatingRun(std::int32_t stored, std::int64_t x) const {
    std::int64_t n = 1;
    while (x + n < shape_.width && n < 255 && Pixel(stored, x + n) == Pixel(stored, x + n % 2)) ++n;
    return n;
  }
  std::int64_t ZeroRun(std::int32_t stored, std::int64_t x) const {
    std::int64_t n = 0;
    while (x + n < shape_.width && Pixel(stored, x + n) == 0) ++n;
    return n;
  }

  void Row(std::int32_t stored) {
    std::int64_t x = 0;
    while (x < shape_.width) {
      const std::int64_t zeros = ZeroRun(stored, x);
      if (zeros == shape_.width - x) return;  // the end of line sets the rest
      if (zeros >= 8 && shape_.holes) {
        const std::int64_t dx = std::min<std::int64_t>(zeros, 255);
        Code(0, 2, static_cast<int>(dx), 0);
        x += dx;
        continue;
      }
      const std::int64_t run = AlternatingRun(stored, x);
      if (run >= 4 || shape_.width - x < 3) {
        Code(static_cast<int>(run), Pixel(stored, x) << 4 | Pixel(stored, x + 1));
        x += run;
        continue;
      }
      std::int64_t n = 3;  // absolute: up to the next run worth encoding
      while (x + n < shape_.width && n < 255 && AlternatingRun(stored, x + n) < 4) ++n;
      Code(0, static_cast<int>(n));
      std::string bytes((n + 1) / 2 + ((n + 1) / 2) % 2, '\0');
      for (std::int64_t i = 0; i < n; ++i) {
        bytes[i / 2] = static_cast<char>(bytes[i / 2] | Pixel(stored, x + i) << (i % 2 ? 0 : 4));
      }
      out_ += bytes;
      x += n;
    }
  }

  const BitmapShape& shape_;
  std::string out_;
};

}  // namespace

int ShapePixel(const BitmapShape& shape, std::int64_t x, std::int64_t y) {
  if ((shape.holes || shape.rle || shape.zeroPadding) && x >= shape.width) return 0;
  return InHole(shape, x, y) ? 0 : PixelAt(x, y);
}

BitmapShape PlainShapeOf(const BitmapShape& shape) {
  BitmapShape plain = shape;
  plain.infoHeaderSize = 40;
  plain.rle = false;
  plain.zeroPadding = shape.zeroPadding || shape.holes || shape.rle;
  return plain;
}

std::string MakePlainEquivalent(const BitmapShape& shape) {
  std::string plain = MakeBitmap(PlainShapeOf(shape));
  if (shape.infoHeaderSize == 12) plain.replace(38, 16, 16, '\0');  // OS/2 1.x has no such fields
  return plain;
}

std::string MakeBitmap(const BitmapShape& shape) {
  const std::uint32_t rowPixels = (shape.width + 7) / 8 * 8;
  if (shape.rle) return BitmapWithPixels(shape, Rle4Encoder(shape).Encode());
  std::string pixels;
  for (std::int32_t stored = 0; stored < shape.height; ++stored) {
    const std::int32_t y = shape.topDown ? stored : shape.height - 1 - stored;
    for (std::uint32_t x = 0; x < rowPixels; x += 2) {
      pixels += static_cast<char>(ShapePixel(shape, x, y) << 4 | ShapePixel(shape, x + 1, y));
    }
  }
  return BitmapWithPixels(shape, pixels);
}

std::string BitmapWithPixels(const BitmapShape& shape, const std::string& pixels) {
  const bool core = shape.infoHeaderSize == 12;
  const std::uint32_t offBits =
      14 + shape.infoHeaderSize + (core ? 3 : 4) * shape.paletteEntries + shape.gapAfterPalette;
  std::string out;
  out += "BM";
  PutU32(out, offBits + static_cast<std::uint32_t>(pixels.size()));
  PutU32(out, 0x00020001);  // both reserved words, so a test sees them kept
  PutU32(out, offBits);
  PutU32(out, shape.infoHeaderSize);
  if (core) {
    PutU16(out, shape.width);
    PutU16(out, shape.height);
    PutU16(out, 1);
    PutU16(out, shape.bitsPerPixel);
  } else {
    PutU32(out, shape.width);
    PutU32(out, shape.topDown ? -shape.height : shape.height);
    PutU16(out, 1);
    PutU16(out, shape.bitsPerPixel);
    PutU32(out, shape.rle ? (shape.bitsPerPixel == 8 ? 1 : 2) : 0);
    PutU32(out, static_cast<std::uint32_t>(pixels.size()));
    PutU32(out, 2835);
    PutU32(out, 2836);
    PutU32(out, shape.paletteEntries == 1u << shape.bitsPerPixel ? 0 : shape.paletteEntries);
    PutU32(out, 3);
    out.append(shape.infoHeaderSize - 40, '\x11');
  }
  for (std::uint32_t entry = 0; entry < shape.paletteEntries; ++entry) {
    const std::uint32_t quad = PaletteEntry(entry);
    if (core) {
      out.append(1, static_cast<char>(quad)).append(1, static_cast<char>(quad >> 8));
      out.append(1, static_cast<char>(quad >> 16));
    } else {
      PutU32(out, quad);
    }
  }
  out.append(shape.gapAfterPalette, '\x5A');
  return out + pixels;
}

std::uint32_t PaletteEntry(std::uint32_t entry) {
  return 0x00010203 * (entry + 1);  // blue, green, red, and from entry 255 on a fourth byte
}

std::string IndexedPixels(const BitmapShape& shape,
                          const std::function<int(std::int64_t x, std::int64_t y)>& index) {
  const std::int64_t rowBytes = (std::int64_t{shape.width} * shape.bitsPerPixel + 31) / 32 * 4;
  std::string pixels;
  for (std::int32_t stored = 0; stored < shape.height; ++stored) {
    const std::int32_t y = shape.topDown ? stored : shape.height - 1 - stored;
    std::string row(static_cast<std::size_t>(rowBytes), '\0');
    for (std::int64_t x = 0; x < shape.width; ++x) {
      if (shape.bitsPerPixel == 8) {
        row[x] = static_cast<char>(index(x, y));
      } else {
        row[x / 8] = static_cast<char>(row[x / 8] | index(x, y) << (7 - x % 8));
      }
    }
    pixels += row;
  }
  return pixels;
}

SourceCheck LoadSourceBytes(const std::string& bitmap, SourceImage* image, const ReadSizes& sizes) {
  TempDir dir;
  WriteBytes(dir.Path("source.bmp"), bitmap);
  InFile source;
  if (!source.Open(dir.Path("source.bmp").c_str())) return SourceCheck::kUnreadable;
  SourceImage loaded;
  const SourceCheck check = LoadSourceImage(source, loaded, {}, sizes);
  if (image != nullptr) *image = std::move(loaded);
  return check;
}

std::uint32_t U32At(const std::string& bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[offset + i]);
  return value;
}

void PutU32At(std::string& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

std::int32_t I32At(const std::string& bytes, std::size_t offset) {
  return static_cast<std::int32_t>(U32At(bytes, offset));
}
