#include "app/command_line.h"

namespace {

bool IsBlank(char16_t c) {
  return c >= 1 && c <= u' ';
}

// From just after an opening quote: the closing quote, or the terminating NUL
// when there is none. No UTF-16 unit of another character equals a quote.
const char16_t* FindClosingQuote(const char16_t* at) {
  while (*at != u'\0' && *at != u'"') ++at;
  return at;
}

const char16_t* SkipProgramName(const char16_t* at) {
  if (*at == u'"') {
    at = FindClosingQuote(at + 1);
    return *at == u'"' ? at + 1 : at;
  }
  while (*at > u' ') ++at;
  return at;
}

// Windows drops blanks at the end of a name it opens, but not every blank
// (a tab stays), so none is taken.
std::u16string WithoutTrailingBlanks(std::u16string tail) {
  while (!tail.empty() && IsBlank(tail.back())) tail.pop_back();
  return tail;
}

std::u16string WithoutEnclosingQuotes(const std::u16string& tail) {
  if (tail.empty() || tail[0] != u'"') return tail;
  const char16_t* begin = tail.c_str();
  const char16_t* closing = FindClosingQuote(begin + 1);
  if (*closing != u'"' || closing[1] != u'\0') return tail;
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

std::u16string TailFromCommandLine(const char16_t* commandLine) {
  const char16_t* at = SkipProgramName(commandLine);
  while (IsBlank(*at)) ++at;
  return WithoutEnclosingQuotes(WithoutTrailingBlanks(at));
}
