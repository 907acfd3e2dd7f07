#include "fileio/wtf8.h"

namespace {

bool IsHighSurrogate(char32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

void Append(std::string& out, char32_t c) {
  auto byte = [&out](char32_t value) { out += static_cast<char>(value); };
  if (c < 0x80) {
    byte(c);
  } else if (c < 0x800) {
    byte(0xC0 | c >> 6);
    byte(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {  // lone surrogates too
    byte(0xE0 | c >> 12);
    byte(0x80 | (c >> 6 & 0x3F));
    byte(0x80 | (c & 0x3F));
  } else {
    byte(0xF0 | c >> 18);
    byte(0x80 | (c >> 12 & 0x3F));
    byte(0x80 | (c >> 6 & 0x3F));
    byte(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string Wtf8FromUtf16(const char16_t* text) {
  std::string out;
  for (const char16_t* at = text; *at != u'\0'; ++at) {
    char32_t c = *at;
    if (IsHighSurrogate(c) && IsLowSurrogate(at[1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (at[1] - 0xDC00);
      ++at;
    }
    Append(out, c);
  }
  return out;
}

bool Utf16FromWtf8(const char* wtf8, std::u16string& text) {
  std::u16string out;
  for (auto* at = reinterpret_cast<const unsigned char*>(wtf8); *at != 0;) {
    int length;
    char32_t c, least;
    if (*at < 0x80) {
      length = 1, c = *at, least = 0;
    } else if (*at >= 0xC2 && *at <= 0xDF) {
      length = 2, c = *at & 0x1F, least = 0x80;
    } else if (*at >= 0xE0 && *at <= 0xEF) {
      length = 3, c = *at & 0x0F, least = 0x800;
    } else if (*at >= 0xF0 && *at <= 0xF4) {
      length = 4, c = *at & 0x07, least = 0x10000;
    } else {
      return false;
    }
    for (int i = 1; i < length; ++i) {
      if ((at[i] & 0xC0) != 0x80) return false;
      c = c << 6 | (at[i] & 0x3F);
    }
    if (c < least || c > 0x10FFFF) return false;  // no overlong form, nothing past Unicode
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    at += length;
  }
  text = out;
  return true;
}
