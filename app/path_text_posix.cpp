#include <cstring>

#include "app/path_text.h"

// Linux names files in bytes, whatever their encoding.
std::string PathFromLine(const char* line) {
  return line;
}

std::size_t PathLength(const char* path) {
  return std::strlen(path);
}
