#include <windows.h>

#include "app/path_text.h"
#include "fileio/text.h"
#include "fileio/wide_win32.h"

bool PathFromLine(const char* line, bool fromUtf16, char (&path)[kPathBytes]) {
  if (fromUtf16 || IsUtf8WithHighBytes(line)) return CopyText(line, path, sizeof path);
  // The flags CreateFileA's own conversion uses, so that every map
  // description written in the ANSI code page opens what it always opened.
  WideText wide;
  const int units = MultiByteToWideChar(CP_ACP, 0, line, -1, wide, kPathBytes);
  return units > 0 && Wtf8FromWide(wide, static_cast<std::size_t>(units - 1), path);
}

// Characters, as Windows counts them: UTF-16 units.
std::size_t PathLength(const char* path) {
  char16_t units[kPathBytes];
  const std::ptrdiff_t length = Utf16FromWtf8(path, units, kPathBytes);
  return length < 0 ? kPathBytes : static_cast<std::size_t>(length);
}
