#include "fileio/wtf8.h"

namespace {

bool IsLowSurrogate(char32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The bytes of `c` in WTF-8, a lone surrogate too; how many there are.
int Encode(char32_t c, unsigned char (&bytes)[4]) {
  if (c < 0x80) {
    bytes[0] = static_cast<unsigned char>(c);
    return 1;
  }
  constexpr unsigned char kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};  // by the length
  const int length = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
  for (int i = length - 1; i > 0; --i, c >>= 6) {
    bytes[i] = static_cast<unsigned char>(0x80 | (c & 0x3F));
  }
  bytes[0] = static_cast<unsigned char>(kLead[length] | c);
  return length;
}

}  // namespace

std::ptrdiff_t Wtf8FromUtf16(const char16_t* text, std::size_t units, char* out, std::size_t size) {
  std::size_t length = 0;
  for (std::size_t i = 0; i < units; ++i) {
    char32_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < units && IsLowSurrogate(text[i + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    unsigned char bytes[4];
    const int count = Encode(c, bytes);
    if (length + count >= size) return -1;
    for (int j = 0; j < count; ++j) out[length++] = static_cast<char>(bytes[j]);
  }
  if (size == 0) return -1;
  out[length] = '\0';
  return static_cast<std::ptrdiff_t>(length);
}

std::ptrdiff_t Utf16FromWtf8(const char* wtf8, char16_t* out, std::size_t size) {
  std::size_t length = 0;
  for (auto* at = reinterpret_cast<const unsigned char*>(wtf8); *at != 0;) {
    int count;
    char32_t c, least;
    if (*at < 0x80) {
      count = 1, c = *at, least = 0;
    } else if (*at >= 0xC2 && *at <= 0xDF) {
      count = 2, c = *at & 0x1F, least = 0x80;
    } else if (*at >= 0xE0 && *at <= 0xEF) {
      count = 3, c = *at & 0x0F, least = 0x800;
    } else if (*at >= 0xF0 && *at <= 0xF4) {
      count = 4, c = *at & 0x07, least = 0x10000;
    } else {
      return -1;
    }
    for (int i = 1; i < count; ++i) {
      if ((at[i] & 0xC0) != 0x80) return -1;
      c = c << 6 | (at[i] & 0x3F);
    }
    if (c < least || c > 0x10FFFF) return -1;  // no overlong form, nothing past Unicode
    if (length + (c >= 0x10000 ? 2 : 1) >= size) return -1;
    if (c >= 0x10000) {
      out[length++] = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out[length++] = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out[length++] = static_cast<char16_t>(c);
    }
    at += count;
  }
  if (size == 0) return -1;
  out[length] = u'\0';
  return static_cast<std::ptrdiff_t>(length);
}
