#include "tiling/source_image.h"

#include <algorithm>
#include <cstring>

#include "tiling/byte_order.h"

namespace {

constexpr std::uint16_t kBitmapSignature = 0x4D42;  // "BM"
constexpr std::uint32_t kCoreHeaderSize = 12;       // OS/2 1.x: 16-bit sizes, RGB triples
constexpr std::uint32_t kInfoHeaderSizes[] = {40, 52, 56, 64, 108, 124};
constexpr std::uint16_t kFourBitsPerPixel = 4;
constexpr std::uint32_t kUncompressed = 0;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kMaxPaletteEntries = 16;
// Tiles say where their pixels start in a 32-bit field, and their length too.
constexpr std::int64_t kMaxPixelOffset = INT32_MAX;

// Where the file keeps what the plain form's fields describe.
struct FileLayout {
  std::int64_t paletteOffset = 0;
  int entryBytes = 4;  // 3 for OS/2 1.x
  std::int64_t entries = kMaxPaletteEntries;
  std::int64_t pixelOffset = 0;  // bfOffBits as the file has it
  std::uint32_t compression = kUncompressed;
};

bool IsInfoHeaderSize(std::uint32_t size) {
  for (std::uint32_t known : kInfoHeaderSizes) {
    if (size == known) return true;
  }
  return false;
}

// The headers in `bytes` (`got` of them arrived) into the plain form: only
// the fields that this variant has, the others 0. False for any header this
// program does not know.
bool DecodeHeaders(const std::uint8_t* bytes, std::uint32_t got, ImageHeader& header,
                   FileLayout& layout) {
  if (got < kFileHeaderSize + 4) return false;
  ByteReader in(bytes);
  header.bfType = in.U16();
  header.bfSize = in.U32();
  header.bfReserved1 = in.U16();
  header.bfReserved2 = in.U16();
  layout.pixelOffset = in.U32();
  const std::uint32_t infoSize = in.U32();
  if (infoSize == kCoreHeaderSize && got >= kFileHeaderSize + kCoreHeaderSize) {
    header.biWidth = in.U16();
    header.biHeight = in.U16();
    header.biPlanes = in.U16();
    header.biBitCount = in.U16();
    layout.entryBytes = 3;
  } else if (IsInfoHeaderSize(infoSize) && got >= kFileHeaderSize + kInfoHeaderSize) {
    header.biWidth = in.I32();
    header.biHeight = in.I32();
    header.biPlanes = in.U16();
    header.biBitCount = in.U16();
    layout.compression = in.U32();
    header.biSizeImage = in.U32();
    header.biXPelsPerMeter = in.I32();
    header.biYPelsPerMeter = in.I32();
    header.biClrUsed = in.U32();
    header.biClrImportant = in.U32();
    if (header.biClrUsed != 0) layout.entries = header.biClrUsed;
  } else {
    return false;
  }
  header.biSize = kInfoHeaderSize;
  header.biCompression = kUncompressed;
  layout.paletteOffset = kFileHeaderSize + infoSize;
  return true;
}

// The checks that need only the header fields; then the plain form's pixel
// offset: its own palette's end plus the file's gap after the palette.
bool NormaliseOffset(ImageHeader& header, const FileLayout& layout) {
  if (header.bfType != kBitmapSignature || header.biBitCount != kFourBitsPerPixel) return false;
  if (layout.compression != kUncompressed && layout.compression != kRle4) return false;
  if (header.biWidth <= 0 || header.biHeight == 0) return false;
  if (layout.compression == kRle4 && header.biHeight < 0) return false;  // RLE is bottom-up
  if (header.biClrUsed > kMaxPaletteEntries) return false;
  const std::int64_t paletteEnd = layout.paletteOffset + layout.entryBytes * layout.entries;
  if (layout.pixelOffset < paletteEnd) return false;
  const std::int64_t plainOffset =
      kFileHeaderSize + kInfoHeaderSize + 4 * layout.entries + (layout.pixelOffset - paletteEnd);
  if (plainOffset > kMaxPixelOffset) return false;
  header.bfOffBits = static_cast<std::uint32_t>(plainOffset);
  return true;
}

// The 64 bytes from the start of the palette, as 4-byte entries: all of
// them that lie before `dataEnd`, which the checks found in the file, must
// arrive. Those of a tiny file past it are zero.
bool ReadPalette(InFile& source, const FileLayout& layout, std::int64_t dataEnd,
                 ImageHeader& header) {
  std::uint8_t bytes[kPaletteSize] = {};
  const std::int64_t wanted = layout.entryBytes == 4 ? kPaletteSize : 16 * 3;
  const auto promised =
      static_cast<std::uint32_t>(std::min(wanted, dataEnd - layout.paletteOffset));
  if (!source.SetPosition(layout.paletteOffset) || !source.Read(bytes, promised)) return false;
  if (layout.entryBytes == 4) {
    std::memcpy(header.palette, bytes, kPaletteSize);
    return true;
  }
  for (int entry = 0; entry < 16; ++entry) {  // blue, green, red; reserved 0
    std::memcpy(header.palette + 4 * entry, bytes + 3 * entry, 3);
    header.palette[4 * entry + 3] = 0;
  }
  return true;
}

}  // namespace

SourceCheck LoadSourceImage(InFile& source, SourceImage& image, const BandPlan& plan,
                            const ReadSizes& sizes) {
  std::uint8_t bytes[kFileHeaderSize + kInfoHeaderSize];
  std::uint32_t got = 0;
  if (!source.SetPosition(0) || !source.ReadUpTo(bytes, sizeof bytes, got)) {
    return SourceCheck::kUnreadable;
  }
  image.header = ImageHeader();
  FileLayout layout;
  if (!DecodeHeaders(bytes, got, image.header, layout) || !NormaliseOffset(image.header, layout)) {
    return SourceCheck::kNotSixteenColours;
  }
  image.geometry = GeometryOf(image.header);

  image.rows = layout.compression == kRle4 ? Rle4Rows(image.geometry, layout.pixelOffset, sizes)
                                           : UncompressedRows(image.geometry, layout.pixelOffset);
  if (image.rows == nullptr) return SourceCheck::kNoMemory;
  const SourceCheck check = image.rows->Check(source, plan);
  if (check != SourceCheck::kUsable) return check;
  // The palette lies before pixel data that is known to be in the file:
  // failing to read it is an error of the file, not of its format.
  return ReadPalette(source, layout, image.rows->DataEnd(), image.header)
             ? SourceCheck::kUsable
             : SourceCheck::kUnreadable;
}
