#include "app/path_text.h"

namespace {

using Byte = unsigned char;

// The length of the well-formed UTF-8 sequence at `at`, or 0.
int SequenceLength(const Byte* at) {
  const Byte lead = at[0];
  if (lead < 0x80) return 1;
  int length;
  Byte low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong form
    if (lead == 0xED) high = 0x9F;  // no surrogate
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // no overlong form
    if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
  } else {
    return 0;
  }
  if (at[1] < low || at[1] > high) return 0;
  for (int i = 2; i < length; ++i) {
    if (at[i] < 0x80 || at[i] > 0xBF) return 0;
  }
  return length;
}

// How many characters past ASCII `text` holds; -1 when it is not UTF-8.
int HighCharacters(const char* text) {
  int high = 0;
  for (const Byte* at = reinterpret_cast<const Byte*>(text); *at != 0;) {
    const int length = SequenceLength(at);
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
