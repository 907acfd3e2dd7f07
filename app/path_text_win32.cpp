#include <windows.h>

#include "app/path_text.h"
#include "fileio/wide_win32.h"

std::string PathFromLine(const char* line) {
  if (IsUtf8WithHighBytes(line)) return line;
  // The flags CreateFileA's own conversion uses, so that every map
  // description written in the ANSI code page opens what it always opened.
  const int units = MultiByteToWideChar(CP_ACP, 0, line, -1, nullptr, 0);
  if (units <= 0) return std::string();
  WideText wide(static_cast<std::size_t>(units));
  MultiByteToWideChar(CP_ACP, 0, line, -1, wide.data(), units);
  return Utf8FromWide(wide.data());
}

// Characters, as Windows counts them: UTF-16 units.
std::size_t PathLength(const char* path) {
  return WideFromUtf8(path).size() - 1;
}
