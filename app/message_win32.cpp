#include <windows.h>

#include "app/messages.h"
#include "fileio/wide_win32.h"

// A modal box without an owner window: the program has none.
void ShowMessage(const char* text, MessageKind kind) {
  const UINT icon = kind == MessageKind::kError ? MB_ICONERROR : MB_ICONINFORMATION;
  MessageBoxW(nullptr, WideFromUtf8(text).c_str(), WideFromUtf8(kCaption).c_str(), MB_OK | icon);
}
