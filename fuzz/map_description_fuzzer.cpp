// Arbitrary bytes as a map description: line ends, missing lines, NUL bytes,
// huge numbers, lines without a comma, over-long lines, UTF-16 text.
#include <cstring>

#include "app/map_description.h"
#include "app/path_text.h"
#include "fileio/text.h"
#include "fuzz/fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = FuzzFolder() + "/area.map";
  WriteFuzzFile(path, data, size);
  InFile map;
  if (!map.Open(path.c_str())) std::abort();

  TextReader text(map);
  // Small blocks, of a size the input picks, so that they end anywhere.
  if (!text.Reserve(4 + size % 61)) std::abort();
  text.ReadByteOrderMark();
  char sourcePath[kPathBytes];
  std::memset(sourcePath, 'x', sizeof sourcePath);
  const bool whole = ReadWholeLine(text, sourcePath, sizeof sourcePath);
  if (std::memchr(sourcePath, '\0', sizeof sourcePath) == nullptr) std::abort();
  // UTF-16 text grows by at most half again in WTF-8.
  if (whole && std::strlen(sourcePath) > size * 3 / 2) std::abort();
  char chosen[kPathBytes];
  PathFromLine(sourcePath, text.utf16(), chosen);
  ReadRegion(text);
  return 0;
}
