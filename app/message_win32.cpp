#include <windows.h>

#include "app/messages.h"
#include "fileio/wide_win32.h"

// A modal box without an owner window: the program has none.
void ShowMessage(const char* text, MessageKind kind) {
  const UINT icon = kind == MessageKind::kError ? MB_ICONERROR : MB_ICONINFORMATION;
  MessageBoxW(nullptr, WideFromUtf8(text).data(), WideFromUtf8(kCaption).data(), MB_OK | icon);
}
