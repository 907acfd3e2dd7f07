#include <windows.h>

#include <cwchar>

#include "app/command_line.h"
#include "app/run.h"
#include "fileio/wide_win32.h"

// The tail is formed here from the whole wide command line, never from an
// 8-bit one: Windows' conversion to the ANSI code page would put a
// look-alike ("best fit") or a '?' where a character does not fit, and so
// name some other file.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const wchar_t* line = GetCommandLineW();
  const std::u16string tail =
      TailFromCommandLine(std::u16string(line, line + std::wcslen(line)).c_str());
  const WideText wideTail(tail.c_str(), tail.c_str() + tail.size() + 1);
  return RunTiling(Utf8FromWide(wideTail.data()).c_str());
}
