// Text in UTF-16, as Windows names files, kept in 8-bit strings as
// generalised UTF-8 (WTF-8): UTF-8 that also encodes a lone surrogate, as a
// name on NTFS may hold one. Every UTF-16 text comes back exactly as it
// came in; only the Windows edge converts.
#pragma once

#include <string>

std::string Wtf8FromUtf16(const char16_t* text);

// False, with `text` not converted, when `wtf8` is not WTF-8: a converted
// path would name some other file.
bool Utf16FromWtf8(const char* wtf8, std::u16string& text);
