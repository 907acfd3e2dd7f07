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
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::int64_t kPlainEntries = 16;
// Tiles say where their pixels start in a 32-bit field, and their length too.
constexpr std::int64_t kMaxPixelOffset = INT32_MAX;

// Where the file keeps what the plain form's fields describe.
struct FileLayout {
  std::int64_t paletteOffset = 0;
  int entryBytes = 4;            // 3 for OS/2 1.x
  std::int64_t entries = 0;      // biClrUsed, or all that the bits a pixel give
  std::int64_t pixelOffset = 0;  // bfOffBits as the file has it
  std::uint32_t compression = kUncompressed;
  std::int64_t tileEntries = 0;  // in the tiles' palette

  std::int64_t PaletteEnd() const { return paletteOffset + entryBytes * entries; }
};

// Of 1, 4 or 8 bits a pixel, each the index of a palette entry.
bool IsIndexedBitCount(std::uint16_t bits) {
  return bits == 1 || bits == kFourBitsPerPixel || bits == 8;
}

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
  } else {
    return false;
  }
  header.biSize = kInfoHeaderSize;
  header.biCompression = kUncompressed;
  layout.paletteOffset = kFileHeaderSize + infoSize;
  return true;
}

// Where the plain form's pixels start: after its `kept` entries, and the
// file's gap after its palette.
std::int64_t PlainOffset(const FileLayout& layout, std::int64_t kept) {
  return kFileHeaderSize + kInfoHeaderSize + 4 * kept + (layout.pixelOffset - layout.PaletteEnd());
}

// The checks that need only the header fields. An OS/2 1.x palette has an
// entry for each index; another, biClrUsed or as many. Tiles of 4-bit pixels
// take the same entries; of other pixels, all 16, so that no reader takes a
// 2-entry black and white palette for pixels of 1 bit.
bool CheckFields(const ImageHeader& header, FileLayout& layout) {
  if (header.bfType != kBitmapSignature || !IsIndexedBitCount(header.biBitCount)) return false;
  if (header.biPlanes != 1) return false;
  // RLE4 holds pixels of 4 bits, RLE8 of 8, each bottom-up only.
  const bool rle = (layout.compression == kRle4 && header.biBitCount == kFourBitsPerPixel) ||
                   (layout.compression == kRle8 && header.biBitCount == 8);
  if (layout.compression != kUncompressed && !rle) return false;
  if (header.biWidth <= 0 || header.biHeight == 0) return false;
  if (rle && header.biHeight < 0) return false;
  const std::int64_t indices = std::int64_t{1} << header.biBitCount;
  if (header.biClrUsed > indices) return false;
  layout.entries = header.biClrUsed != 0 ? header.biClrUsed : indices;
  layout.tileEntries = header.biBitCount == kFourBitsPerPixel ? layout.entries : kPlainEntries;
  return layout.pixelOffset >= layout.PaletteEnd() &&
         PlainOffset(layout, layout.tileEntries) <= kMaxPixelOffset;
}

// The plain form of a source whose pixels are not 4 bits: a 4-bit one with
// 16 entries, `kept` of them the source's, its biClrImportant only when it
// counts no more than those.
void NormaliseFields(ImageHeader& header, std::int64_t kept) {
  if (header.biBitCount == kFourBitsPerPixel) return;
  header.biBitCount = kFourBitsPerPixel;
  header.biClrUsed = kPlainEntries;
  if (header.biClrImportant > kept) header.biClrImportant = 0;
}

// The plain form's 64 palette bytes: the kept entries in their order, 4
// bytes each (a triple's fourth is 0), zeros up to the tiles' entries, then
// what follows the file's palette (its gap, and on), as the plain form's
// file holds it after its entries. All of them that lie before `dataEnd`,
// which the checks found in the file, must arrive; those of a tiny file past
// it are zero, as is an entry kept past the file's palette.
bool ReadPalette(InFile& source, const FileLayout& layout, const PaletteMap& palette,
                 std::int64_t dataEnd, ImageHeader& header) {
  const int kept = palette.count;
  const auto entries = static_cast<int>(layout.tileEntries);
  std::uint8_t bytes[256 * 4 + kPaletteSize] = {};
  const std::int64_t tableBytes = layout.PaletteEnd() - layout.paletteOffset;
  const auto promised = static_cast<std::uint32_t>(
      std::min(tableBytes + kPaletteSize, dataEnd - layout.paletteOffset));
  if (!source.SetPosition(layout.paletteOffset) || !source.Read(bytes, promised)) return false;
  std::memset(header.palette, 0, kPaletteSize);
  for (int i = 0; i < kept; ++i) {
    const int entry = palette.sourceIndex[i];
    if (entry >= layout.entries) continue;
    std::memcpy(header.palette + 4 * i, bytes + layout.entryBytes * entry, layout.entryBytes);
  }
  std::memcpy(header.palette + 4 * entries, bytes + tableBytes, kPaletteSize - 4 * entries);
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
  ImageHeader& header = image.header;
  header = ImageHeader();
  FileLayout layout;
  if (!DecodeHeaders(bytes, got, header, layout) || !CheckFields(header, layout)) {
    return SourceCheck::kNotSixteenColours;
  }
  image.geometry = GeometryOf(header);

  if (layout.compression != kUncompressed) {
    image.rows = RleRows(image.geometry, header.biBitCount, layout.pixelOffset, sizes);
  } else if (header.biBitCount != kFourBitsPerPixel) {
    image.rows = IndexedRows(image.geometry, header.biBitCount, layout.pixelOffset, sizes);
  } else {
    image.rows = UncompressedRows(image.geometry, layout.pixelOffset);
  }
  if (image.rows == nullptr) return SourceCheck::kNoMemory;
  const SourceCheck check = image.rows->Check(source, plan);
  if (check != SourceCheck::kUsable) return check;

  PaletteMap palette;
  if (!MapValues(image.rows->ValuesUsed(), layout.entries, palette)) {
    return SourceCheck::kNotSixteenColours;
  }
  image.rows->UsePalette(palette);
  header.bfOffBits = static_cast<std::uint32_t>(PlainOffset(layout, layout.tileEntries));
  NormaliseFields(header, palette.count);
  // The palette lies before pixel data that is known to be in the file:
  // failing to read it is an error of the file, not of its format.
  return ReadPalette(source, layout, palette, image.rows->DataEnd(), header)
             ? SourceCheck::kUsable
             : SourceCheck::kUnreadable;
}
