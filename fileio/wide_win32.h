// The program keeps text in WTF-8 (fileio/wtf8.h); Windows' wide calls take
// UTF-16. These convert at that edge, in the Windows files only. (Buffers
// rather than std::wstring, whose library code would double the program's
// size.)
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "fileio/wtf8.h"

using WideText = std::vector<wchar_t>;  // NUL-terminated

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

// Empty when `wtf8` is not WTF-8, so that no other file is named.
inline WideText WideFromUtf8(const char* wtf8) {
  std::u16string units;
  if (!Utf16FromWtf8(wtf8, units)) return WideText(1, L'\0');
  WideText wide(units.begin(), units.end());
  wide.push_back(L'\0');
  return wide;
}

inline bool IsEmpty(const WideText& wide) {
  return wide.empty() || wide[0] == L'\0';
}

inline std::string Utf8FromWide(const wchar_t* wide) {
  const std::u16string units(wide, wide + std::char_traits<wchar_t>::length(wide));
  return Wtf8FromUtf16(units.c_str());
}
