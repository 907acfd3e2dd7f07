#include "tiling/image_header.h"

#include "tiling/byte_order.h"

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
