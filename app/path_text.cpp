#include "app/path_text.h"

#include "fileio/wtf8.h"

namespace {

// How many characters past ASCII `text` holds; -1 when it is not UTF-8.
int HighCharacters(const char* text) {
  int high = 0;
  for (const char* at = text; *at != 0;) {
    char32_t c;
    const int length = DecodeUtf8(at, false, c);
    if (length == 0) return -1;
    high += length > 1 ? 1 : 0;
    at += length;
  }
  return high;
}

}  // namespace

bool IsUtf8(const char* text) {
  return HighCharacters(text) >= 0;
}

bool IsUtf8WithHighBytes(const char* text) {
  return HighCharacters(text) > 0;
}
