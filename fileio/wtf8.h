// Text in UTF-16, as Windows names files, kept in 8-bit strings as
// generalised UTF-8 (WTF-8): UTF-8 that also encodes a lone surrogate, as a
// name on NTFS may hold one. Every UTF-16 text comes back exactly as it
// came in; only the Windows edge converts. Both conversions write into room
// the caller gives, NUL-terminated, and refuse what does not fit: a cut text
// would name some other file.
#pragma once

#include <cstddef>

// The character that the UTF-8 sequence at `text` encodes, into `c`; the
// sequence's length in bytes, or 0 when it is ill-formed: cut short, an
// overlong form, past U+10FFFF, or a surrogate unless `surrogates` allows
// one (as WTF-8 does).
int DecodeUtf8(const char* text, bool surrogates, char32_t& c);

// The WTF-8 of the first character of the `units` (at least 1) UTF-16 units
// at `text`, a surrogate pair or one unit, into `out`; its length in bytes.
// `taken` says how many units it took.
int Wtf8OfCharacter(const char16_t* text, std::size_t units, char (&out)[4], std::size_t& taken);

// The WTF-8 form of the `units` UTF-16 units at `text`, U+0000 included,
// into `out` (room for `size` bytes); its length in bytes, or -1 when it
// does not fit.
std::ptrdiff_t Wtf8FromUtf16(const char16_t* text, std::size_t units, char* out, std::size_t size);

// The UTF-16 form of the NUL-terminated `wtf8` into `out` (room for `size`
// units); its length in units, or -1 when `wtf8` is not WTF-8 or does not fit.
std::ptrdiff_t Utf16FromWtf8(const char* wtf8, char16_t* out, std::size_t size);
