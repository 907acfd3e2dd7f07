// Text in UTF-16, as Windows names files, kept in 8-bit strings as
// generalised UTF-8 (WTF-8): UTF-8 that also encodes a lone surrogate, as a
// name on NTFS may hold one. Every UTF-16 text comes back exactly as it
// came in; only the Windows edge converts. Both conversions write into room
// the caller gives, NUL-terminated, and refuse what does not fit: a cut text
// would name some other file.
#pragma once

#include <cstddef>

// The first of a surrogate pair, which joins the unit after it.
inline bool IsHighSurrogate(char32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

// The WTF-8 form of the `units` UTF-16 units at `text`, U+0000 included,
// into `out` (room for `size` bytes); its length in bytes, or -1 when it
// does not fit.
std::ptrdiff_t Wtf8FromUtf16(const char16_t* text, std::size_t units, char* out, std::size_t size);

// The UTF-16 form of the NUL-terminated `wtf8` into `out` (room for `size`
// units); its length in units, or -1 when `wtf8` is not WTF-8 or does not fit.
std::ptrdiff_t Utf16FromWtf8(const char* wtf8, char16_t* out, std::size_t size);
