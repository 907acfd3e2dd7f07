// The program keeps text in WTF-8 (fileio/wtf8.h); Windows' wide calls take
// UTF-16. These convert at that edge, in the Windows files only, in room on
// the stack: any text the program keeps fits it, and nothing is allocated.
#pragma once

#include <windows.h>

#include "fileio/file.h"
#include "fileio/wtf8.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

// Every WTF-8 byte gives at most one UTF-16 unit.
using WideText = wchar_t[kPathBytes];

// Empty when `wtf8` is not WTF-8 or does not fit, so that no other file is
// named; false then.
inline bool WideFromWtf8(const char* wtf8, WideText& wide) {
  char16_t units[kPathBytes];
  const std::ptrdiff_t length = Utf16FromWtf8(wtf8, units, kPathBytes);
  for (std::ptrdiff_t i = 0; i <= length; ++i) wide[i] = static_cast<wchar_t>(units[i]);
  if (length < 0) wide[0] = L'\0';
  return length >= 0;
}

// The WTF-8 of the `units` wide units at `wide`; false when it does not fit.
inline bool Wtf8FromWide(const wchar_t* wide, std::size_t units, char (&wtf8)[kPathBytes]) {
  char16_t text[kPathBytes];
  if (units >= kPathBytes) return false;
  for (std::size_t i = 0; i < units; ++i) text[i] = static_cast<char16_t>(wide[i]);
  return Wtf8FromUtf16(text, units, wtf8, kPathBytes) >= 0;
}
