#include <cstring>

#include "app/path_text.h"
#include "fileio/text.h"

// Linux names files in bytes, whatever their encoding.
bool PathFromLine(const char* line, char (&path)[kPathBytes]) {
  return CopyText(line, path, sizeof path);
}

std::size_t PathLength(const char* path) {
  return std::strlen(path);
}
