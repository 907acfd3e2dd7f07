#include <cstring>

#include "app/path_text.h"
#include "fileio/text.h"

// Linux names files in bytes, whatever their encoding; a UTF-16 name is its
// UTF-8.
bool PathFromLine(const char* line, bool fromUtf16, char (&path)[kPathBytes]) {
  return (!fromUtf16 || IsUtf8(line)) && CopyText(line, path, sizeof path);
}

std::size_t PathLength(const char* path) {
  return std::strlen(path);
}
