// The program keeps text in UTF-8; Windows' wide calls take UTF-16. These
// convert at that edge, in the Windows files only.
#pragma once

#include <windows.h>

#include <string>

// Empty when `utf8` is not valid UTF-8, so that no other file is named.
inline std::wstring WideFromUtf8(const char* utf8) {
  const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
  if (units <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, &wide[0], units);
  wide.resize(static_cast<std::size_t>(units) - 1);
  return wide;
}

inline std::string Utf8FromWide(const wchar_t* wide) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, &utf8[0], bytes, nullptr, nullptr);
  utf8.resize(static_cast<std::size_t>(bytes) - 1);
  return utf8;
}
