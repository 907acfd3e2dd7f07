#include "app/map_description.h"

#include "fileio/text.h"

namespace {

bool IsSpace(char c) {
  return c == ' ' || (c >= 9 && c <= 13);
}

// Reads the next line and splits it at its first comma into x and y.
void ReadCorner(TextReader& mapText, std::int32_t& x, std::int32_t& y) {
  char line[kTextCapacity];
  char head[kTextCapacity];
  char tail[kTextCapacity];
  ReadLine(mapText, line, sizeof line);
  SplitAtFirst(line, ',', head, sizeof head, tail, sizeof tail);
  x = ParseInteger(head);
  y = ParseInteger(tail);
}

void SkipLine(TextReader& mapText) {
  char line[kTextCapacity];
  ReadLine(mapText, line, sizeof line);
}

}  // namespace

std::int32_t ParseInteger(const char* text) {
  while (IsSpace(*text)) ++text;
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  std::uint32_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) value = value * 10 + (*text - '0');
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

Region ReadRegion(TextReader& mapText) {
  Region region;
  ReadCorner(mapText, region.left, region.top);      // line 2
  SkipLine(mapText);                                 // line 3
  SkipLine(mapText);                                 // line 4
  ReadCorner(mapText, region.right, region.bottom);  // line 5
  SkipLine(mapText);                                 // line 6
  SkipLine(mapText);                                 // line 7
  return region;
}
