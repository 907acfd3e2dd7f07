#include "app/command_line.h"

namespace {

using Byte = unsigned char;

bool IsBlank(Byte c) {
  return c >= 1 && c <= ' ';
}

// From just after an opening quote: the closing quote, or the terminating NUL
// when there is none.
const Byte* FindClosingQuote(const Byte* at, bool (*isLeadByte)(Byte)) {
  while (*at != '\0' && *at != '"') {
    if (isLeadByte(*at) && at[1] != '\0') ++at;  // the trail byte is never a quote
    ++at;
  }
  return at;
}

const Byte* SkipProgramName(const Byte* at, bool (*isLeadByte)(Byte)) {
  if (*at == '"') {
    at = FindClosingQuote(at + 1, isLeadByte);
    return *at == '"' ? at + 1 : at;
  }
  while (*at > ' ') ++at;
  return at;
}

std::string WithoutEnclosingQuotes(const std::string& tail, bool (*isLeadByte)(Byte)) {
  if (tail.empty() || tail[0] != '"') return tail;
  const Byte* begin = reinterpret_cast<const Byte*>(tail.c_str());
  const Byte* closing = FindClosingQuote(begin + 1, isLeadByte);
  if (*closing != '"') return tail;
  for (const Byte* after = closing + 1; *after != '\0'; ++after) {
    if (!IsBlank(*after)) return tail;
  }
  return tail.substr(1, closing - begin - 1);
}

}  // namespace

std::string TailFromArguments(int argc, const char* const* argv) {
  std::string tail;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) tail += ' ';
    tail += argv[i];
  }
  return tail;
}

std::string TailFromCommandLine(const char* commandLine, bool (*isLeadByte)(unsigned char)) {
  const Byte* at = SkipProgramName(reinterpret_cast<const Byte*>(commandLine), isLeadByte);
  while (IsBlank(*at)) ++at;
  return WithoutEnclosingQuotes(reinterpret_cast<const char*>(at), isLeadByte);
}
