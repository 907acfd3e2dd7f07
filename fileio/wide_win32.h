// The program keeps text in UTF-8; Windows' wide calls take UTF-16. These
// convert at that edge, in the Windows files only. (Buffers rather than
// std::wstring, whose library code would double the program's size.)
#pragma once

#include <windows.h>

#include <string>
#include <vector>

using WideText = std::vector<wchar_t>;  // NUL-terminated

// Empty when `utf8` is not valid UTF-8, so that no other file is named.
inline WideText WideFromUtf8(const char* utf8) {
  const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
  if (units <= 0) return WideText(1, L'\0');
  WideText wide(static_cast<std::size_t>(units));
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, wide.data(), units);
  return wide;
}

inline bool IsEmpty(const WideText& wide) {
  return wide.empty() || wide[0] == L'\0';
}

inline std::string Utf8FromWide(const wchar_t* wide) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, &utf8[0], bytes, nullptr, nullptr);
  utf8.resize(static_cast<std::size_t>(bytes) - 1);
  return utf8;
}
