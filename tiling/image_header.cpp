#include "tiling/image_header.h"

#include <algorithm>
#include <cstring>

#include "tiling/source_geometry.h"

namespace {

constexpr std::uint16_t kBitmapSignature = 0x4D42;  // "BM"
constexpr std::uint16_t kFourBitsPerPixel = 4;
constexpr std::uint32_t kUncompressed = 0;
constexpr std::uint32_t kMaxPaletteEntries = 16;
constexpr std::int64_t kMaxFilePosition = INT32_MAX;

// Little-endian field access, so the layout reads the same on any compiler.
class ByteReader {
 public:
  explicit ByteReader(const std::uint8_t* bytes) : at_(bytes) {}
  std::uint16_t U16() {
    const std::uint16_t value = static_cast<std::uint16_t>(at_[0] | at_[1] << 8);
    at_ += 2;
    return value;
  }
  std::uint32_t U32() {
    const std::uint32_t value =
        static_cast<std::uint32_t>(at_[0]) | static_cast<std::uint32_t>(at_[1]) << 8 |
        static_cast<std::uint32_t>(at_[2]) << 16 | static_cast<std::uint32_t>(at_[3]) << 24;
    at_ += 4;
    return value;
  }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }

 private:
  const std::uint8_t* at_;
};

class ByteWriter {
 public:
  explicit ByteWriter(std::uint8_t* bytes) : at_(bytes) {}
  void U16(std::uint16_t value) {
    *at_++ = static_cast<std::uint8_t>(value);
    *at_++ = static_cast<std::uint8_t>(value >> 8);
  }
  void U32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) *at_++ = static_cast<std::uint8_t>(value >> shift);
  }
  void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
  void Bytes(const std::uint8_t* bytes, int count) {
    std::memcpy(at_, bytes, count);
    at_ += count;
  }

 private:
  std::uint8_t* at_;
};

std::int64_t PaletteOffset(const ImageHeader& header) {
  return std::int64_t{kFileHeaderSize} + header.biSize;
}

// The checks that need only the header fields.
bool HasSupportedFields(const ImageHeader& header) {
  if (header.bfType != kBitmapSignature || header.biSize < kInfoHeaderSize) return false;
  if (header.biBitCount != kFourBitsPerPixel || header.biCompression != kUncompressed) return false;
  if (header.biWidth <= 0 || header.biHeight == 0) return false;
  if (header.biClrUsed > kMaxPaletteEntries) return false;
  const std::uint32_t entries = header.biClrUsed == 0 ? kMaxPaletteEntries : header.biClrUsed;
  if (header.bfOffBits < PaletteOffset(header) + 4 * std::int64_t{entries}) return false;
  const SourceGeometry geometry = GeometryOf(header);
  return geometry.pixelOffset + geometry.PixelBytes() <= kMaxFilePosition;
}

// The palette follows the info header, whatever that header's size. It lies
// before the pixel rows, which lie inside the file, so every one of its 64
// bytes up to their end must arrive; only a tiny image can leave the last of
// them past the end of the file, and those read as zero.
bool ReadPalette(InFile& source, ImageHeader& header) {
  std::memset(header.palette, 0, sizeof header.palette);
  const SourceGeometry geometry = GeometryOf(header);
  const std::int64_t offset = PaletteOffset(header);
  const std::int64_t inFile =
      std::min<std::int64_t>(kPaletteSize, geometry.pixelOffset + geometry.PixelBytes() - offset);
  if (!source.SetPosition(static_cast<std::int32_t>(offset)) ||
      !source.Read(header.palette, static_cast<std::uint32_t>(inFile))) {
    return false;
  }
  if (inFile < kPaletteSize) source.Read(header.palette + inFile, kPaletteSize - inFile);
  return true;
}

// The pixel rows end inside the file when their last byte can be read.
bool PixelRowsFitInFile(InFile& source, const ImageHeader& header) {
  const SourceGeometry geometry = GeometryOf(header);
  const std::int64_t lastByte = geometry.pixelOffset + geometry.PixelBytes() - 1;
  std::uint8_t byte;
  return source.SetPosition(static_cast<std::int32_t>(lastByte)) && source.Read(&byte, 1);
}

}  // namespace

void DecodeHeaders(const std::uint8_t (&bytes)[kFileHeaderSize + kInfoHeaderSize],
                   ImageHeader& header) {
  ByteReader in(bytes);
  header.bfType = in.U16();
  header.bfSize = in.U32();
  header.bfReserved1 = in.U16();
  header.bfReserved2 = in.U16();
  header.bfOffBits = in.U32();
  header.biSize = in.U32();
  header.biWidth = in.I32();
  header.biHeight = in.I32();
  header.biPlanes = in.U16();
  header.biBitCount = in.U16();
  header.biCompression = in.U32();
  header.biSizeImage = in.U32();
  header.biXPelsPerMeter = in.I32();
  header.biYPelsPerMeter = in.I32();
  header.biClrUsed = in.U32();
  header.biClrImportant = in.U32();
}

void EncodeImageHeader(const ImageHeader& header, std::uint8_t (&bytes)[kImageHeaderSize]) {
  ByteWriter out(bytes);
  out.U16(header.bfType);
  out.U32(header.bfSize);
  out.U16(header.bfReserved1);
  out.U16(header.bfReserved2);
  out.U32(header.bfOffBits);
  out.U32(header.biSize);
  out.I32(header.biWidth);
  out.I32(header.biHeight);
  out.U16(header.biPlanes);
  out.U16(header.biBitCount);
  out.U32(header.biCompression);
  out.U32(header.biSizeImage);
  out.I32(header.biXPelsPerMeter);
  out.I32(header.biYPelsPerMeter);
  out.U32(header.biClrUsed);
  out.U32(header.biClrImportant);
  out.Bytes(header.palette, kPaletteSize);
}

SourceCheck LoadImageHeader(InFile& source, ImageHeader& header) {
  std::uint8_t bytes[kFileHeaderSize + kInfoHeaderSize];
  if (!source.SetPosition(0) || !source.Read(bytes, sizeof bytes)) {
    return SourceCheck::kNotSixteenColours;  // too short to be a bitmap
  }
  DecodeHeaders(bytes, header);
  if (!HasSupportedFields(header) || !PixelRowsFitInFile(source, header)) {
    return SourceCheck::kNotSixteenColours;
  }
  // From here on the bytes are known to be in the file: failing to read
  // them is an error of the file, not of its format.
  return ReadPalette(source, header) ? SourceCheck::kUsable : SourceCheck::kUnreadable;
}
