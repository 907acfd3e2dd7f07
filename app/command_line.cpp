#include "app/command_line.h"

#include <string>

#include "fileio/text.h"

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

}  // namespace

bool TailFromArguments(int argc, const char* const* argv, char* tail, std::size_t size) {
  std::size_t length = 0;
  if (!CopyText("", tail, size)) return false;
  for (int i = 1; i < argc; ++i) {
    if ((i > 1 && !AppendText(" ", tail, size, length)) ||
        !AppendText(argv[i], tail, size, length)) {
      return false;
    }
  }
  return true;
}

// Windows drops blanks at the end of a name it opens, but not every blank
// (a tab stays), so none is taken.
bool TailFromCommandLine(const char16_t* commandLine, char16_t* tail, std::size_t size) {
  const char16_t* begin = SkipProgramName(commandLine);
  while (IsBlank(*begin)) ++begin;
  const char16_t* end = begin + std::char_traits<char16_t>::length(begin);
  while (end > begin && IsBlank(end[-1])) --end;
  if (end - begin >= 2 && *begin == u'"' && FindClosingQuote(begin + 1) == end - 1) {
    ++begin;
    --end;
  }
  const auto length = static_cast<std::size_t>(end - begin);
  if (length >= size) return false;
  std::char_traits<char16_t>::copy(tail, begin, length);
  tail[length] = u'\0';
  return true;
}
