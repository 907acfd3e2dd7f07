#include "fileio/wtf8.h"

namespace {

bool IsHighSurrogate(char32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

int DecodeUtf8(const char* text, bool surrogates, char32_t& c) {
  const auto* at = reinterpret_cast<const unsigned char*>(text);
  int length;
  char32_t least;  // below it, a shorter form would do
  if (at[0] < 0x80) {
    c = at[0];
    return 1;
  } else if (at[0] >= 0xC2 && at[0] <= 0xDF) {
    length = 2, c = at[0] & 0x1F, least = 0x80;
  } else if (at[0] >= 0xE0 && at[0] <= 0xEF) {
    length = 3, c = at[0] & 0x0F, least = 0x800;
  } else if (at[0] >= 0xF0 && at[0] <= 0xF4) {
    length = 4, c = at[0] & 0x07, least = 0x10000;
  } else {
    return 0;
  }
  for (int i = 1; i < length; ++i) {  // a NUL ends the text before any byte after it
    if ((at[i] & 0xC0) != 0x80) return 0;
    c = c << 6 | (at[i] & 0x3F);
  }
  if (c < least || c > 0x10FFFF) return 0;
  if (!surrogates && (IsHighSurrogate(c) || IsLowSurrogate(c))) return 0;
  return length;
}

int Wtf8OfCharacter(const char16_t* text, std::size_t units, char (&out)[4], std::size_t& taken) {
  char32_t c = text[0];
  taken = 1;
  if (IsHighSurrogate(c) && units > 1 && IsLowSurrogate(text[1])) {
    c = 0x10000 + ((c - 0xD800) << 10) + (text[1] - 0xDC00);
    taken = 2;
  }
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  constexpr unsigned char kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};  // by the length
  const int length = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
  for (int i = length - 1; i > 0; --i, c >>= 6) {
    out[i] = static_cast<char>(0x80 | (c & 0x3F));
  }
  out[0] = static_cast<char>(kLead[length] | c);
  return length;
}

std::ptrdiff_t Wtf8FromUtf16(const char16_t* text, std::size_t units, char* out, std::size_t size) {
  std::size_t length = 0;
  for (std::size_t i = 0; i < units;) {
    char bytes[4];
    std::size_t taken;
    const int count = Wtf8OfCharacter(text + i, units - i, bytes, taken);
    if (length + count >= size) return -1;
    for (int j = 0; j < count; ++j) out[length++] = bytes[j];
    i += taken;
  }
  if (size == 0) return -1;
  out[length] = '\0';
  return static_cast<std::ptrdiff_t>(length);
}

std::ptrdiff_t Utf16FromWtf8(const char* wtf8, char16_t* out, std::size_t size) {
  std::size_t length = 0;
  for (const char* at = wtf8; *at != 0;) {
    char32_t c;
    const int count = DecodeUtf8(at, true, c);
    if (count == 0) return -1;
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
