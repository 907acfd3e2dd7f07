// The rule that forms the command-line tail from a whole Windows command
// line in UTF-16, the input's bytes taken two at a time.
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string commandLine;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    commandLine += static_cast<char16_t>(data[i] | data[i + 1] << 8);
  }
  const std::u16string line(commandLine.c_str());  // up to the first NUL, as Windows sees it
  std::vector<char16_t> room(line.size() + 1);
  if (!TailFromCommandLine(line.c_str(), room.data(), room.size())) std::abort();
  // The tail is a piece of the command line: its end, or its end without
  // one enclosing pair of quotes.
  const std::u16string tail(room.data());
  if (line.find(tail) == std::u16string::npos) std::abort();
  // Room for one unit less than the tail needs is refused.
  if (TailFromCommandLine(line.c_str(), room.data(), tail.size())) std::abort();
  return 0;
}
