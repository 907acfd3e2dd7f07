#include <windows.h>

#include "app/messages.h"
#include "fileio/wide_win32.h"

// A modal box without an owner window: the program has none.
void ShowMessage(const char* text, MessageKind kind) {
  const UINT icon = kind == MessageKind::kError ? MB_ICONERROR : MB_ICONINFORMATION;
  WideText wideText, wideCaption;
  WideFromWtf8(text, wideText);
  WideFromWtf8(kCaption, wideCaption);
  MessageBoxW(nullptr, wideText, wideCaption, MB_OK | icon);
}
