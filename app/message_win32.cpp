#include <windows.h>

#include "app/messages.h"

// A modal box without an owner window: the program has none.
void ShowMessage(const char* text, MessageKind kind) {
  const UINT icon = kind == MessageKind::kError ? MB_ICONERROR : MB_ICONINFORMATION;
  MessageBoxA(nullptr, text, kCaption, MB_OK | icon);
}
