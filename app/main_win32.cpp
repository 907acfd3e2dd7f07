#include <windows.h>

#include <string>

#include "app/command_line.h"
#include "app/run.h"
#include "fileio/wide_win32.h"

// The tail is formed here from the whole wide command line, never from an
// 8-bit one: Windows' conversion to the ANSI code page would put a
// look-alike ("best fit") or a '?' where a character does not fit, and so
// name some other file. A command line too long for the room here has a
// tail too long to be a path.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const wchar_t* line = GetCommandLineW();
  char16_t units[2 * kPathBytes];
  std::size_t length = 0;
  while (line[length] != L'\0' && length + 1 < sizeof units / sizeof units[0]) {
    units[length] = static_cast<char16_t>(line[length]);
    ++length;
  }
  units[length] = u'\0';
  char16_t tail[kPathBytes];
  char path[kPathBytes];
  const bool fits =
      line[length] == L'\0' && TailFromCommandLine(units, tail, kPathBytes) &&
      Wtf8FromUtf16(tail, std::char_traits<char16_t>::length(tail), path, sizeof path) >= 0;
  return RunTiling(fits ? path : nullptr);
}
