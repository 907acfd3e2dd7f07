// Arbitrary bytes as a map description: line ends, missing lines, NUL bytes,
// huge numbers, lines without a comma, over-long lines.
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
  text.SkipByteOrderMark();
  char sourcePath[kPathBytes];
  std::memset(sourcePath, 'x', sizeof sourcePath);
  bool cut = false;
  ReadLine(text, sourcePath, sizeof sourcePath, &cut, LongLine::kStop);
  if (std::memchr(sourcePath, '\0', sizeof sourcePath) == nullptr) std::abort();
  if (!cut && std::strlen(sourcePath) > size) std::abort();
  ReadRegion(text);
  return 0;
}
