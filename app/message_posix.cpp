#include <cstdio>

#include "app/messages.h"

// One line each: errors on standard error, the success message on standard
// output, so scripts can tell them apart without parsing.
void ShowMessage(const char* text, MessageKind kind) {
  std::FILE* stream = kind == MessageKind::kError ? stderr : stdout;
  std::fprintf(stream, "%s: %s\n", kCaption, text);
  std::fflush(stream);
}
