// The rule that forms the command-line tail from a whole Windows command
// line, with and without double-byte characters.
#include <cstdlib>
#include <string>

#include "app/command_line.h"

namespace {

bool NoLeadBytes(unsigned char) {
  return false;
}
// The lead bytes of code page 932 (Shift JIS).
bool ShiftJisLeadBytes(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const auto isLeadByte = data[0] % 2 == 0 ? NoLeadBytes : ShiftJisLeadBytes;
  const std::string commandLine(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string tail = TailFromCommandLine(commandLine.c_str(), isLeadByte);
  // The tail is a piece of the command line: its end, or its end without
  // one enclosing pair of quotes.
  const std::string line(commandLine.c_str());
  if (line.find(tail) == std::string::npos) std::abort();
  if (tail.size() > line.size()) std::abort();
  return 0;
}
