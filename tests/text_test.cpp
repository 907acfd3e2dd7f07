#include "fileio/text.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "fileio/wtf8.h"
#include "tests/temp_files.h"

namespace {

using Line = std::pair<std::string, bool>;

// Every line ReadLine returns, up to and including the first false result,
// after the byte-order mark, if any; the file read in blocks of `block`.
std::vector<Line> ReadAllLines(const std::string& content, std::size_t size = 256,
                               std::size_t block = 4096) {
  TempDir dir;
  WriteBytes(dir.Path("text"), content);
  InFile file;
  EXPECT_TRUE(file.Open(dir.Path("text").c_str()));
  TextReader text(file);
  EXPECT_TRUE(text.Reserve(block));
  text.ReadByteOrderMark();
  std::vector<Line> lines;
  std::vector<char> buffer(size);
  for (;;) {
    const bool ended = ReadLine(text, buffer.data(), buffer.size());
    lines.emplace_back(buffer.data(), ended);
    if (!ended) return lines;
  }
}

TEST(ReadLineEnds, CrLfKeepsEmptyLines) {
  EXPECT_EQ(ReadAllLines("A\r\n\r\nB\r\n"),
            (std::vector<Line>{{"A", true}, {"", true}, {"B", true}, {"", false}}));
}

TEST(ReadLineEnds, LfOnlySwallowsOneEmptyLineInTwo) {
  EXPECT_EQ(ReadAllLines("A\n\nB\n"), (std::vector<Line>{{"A", true}, {"B", true}, {"", false}}));
  EXPECT_EQ(ReadAllLines("A\n\n\nB\n"),
            (std::vector<Line>{{"A", true}, {"", true}, {"B", true}, {"", false}}));
  EXPECT_EQ(ReadAllLines("A\r\rB\r"), (std::vector<Line>{{"A", true}, {"B", true}, {"", false}}));
}

TEST(ReadLineEnds, LastLineWithoutEndComesBackWithFalse) {
  EXPECT_EQ(ReadAllLines("x,y"), (std::vector<Line>{{"x,y", false}}));
  EXPECT_EQ(ReadAllLines(""), (std::vector<Line>{{"", false}}));
}

TEST(ReadLineContent, HighBytesAreCharactersAndNulEndsTheStringButNotTheLine) {
  EXPECT_EQ(ReadAllLines(std::string("\xE9t\xE9\nab\0cd\nz\n", 12)),
            (std::vector<Line>{{"\xE9t\xE9", true}, {"ab", true}, {"z", true}, {"", false}}));
}

// A path comes whole or not at all: 255 characters fit a buffer of 256, 256
// do not, nor does a line that a NUL would cut short.
TEST(ReadWholeLine, RefusesALineThatDoesNotFitOrHoldsANul) {
  TempDir dir;
  WriteBytes(dir.Path("text"), std::string(255, 'a') + "\n" + std::string("s.bmp\0x\n", 8) +
                                   std::string(256, 'b') + "\n");
  InFile file;
  ASSERT_TRUE(file.Open(dir.Path("text").c_str()));
  TextReader text(file);
  ASSERT_TRUE(text.Reserve(16));
  char line[256];
  EXPECT_TRUE(ReadWholeLine(text, line, sizeof line));
  EXPECT_FALSE(ReadWholeLine(text, line, sizeof line)) << "a NUL";
  ReadLine(text, line, sizeof line);  // the rest of it
  EXPECT_FALSE(ReadWholeLine(text, line, sizeof line)) << "256 characters";
}

// The rule, one byte at a time: what the block reader must reproduce
// wherever its blocks happen to end.
std::vector<Line> ReferenceLines(const std::string& content) {
  std::vector<Line> lines;
  std::size_t at = 0;
  for (;;) {
    std::string line;
    if (at < content.size() && content[at] != '\n' && content[at] != '\r') line += content[at];
    bool ended = false;
    for (++at; at <= content.size() && !ended; ++at) {
      if (at == content.size()) break;
      if (content[at] == '\n' || content[at] == '\r') {
        ended = true;
      } else {
        line += content[at];
      }
    }
    lines.emplace_back(line.substr(0, 255), ended);
    if (!ended) return lines;
  }
}

TEST(ReadLineBlocks, LinesAcrossBlockEndsSplitAsByteByByte) {
  std::mt19937 random(9);
  const char alphabet[] = {'a', 'b', '\r', '\n'};
  for (int trial = 0; trial < 40; ++trial) {
    std::string content(4096 * 2 + 300, 'x');
    for (char& c : content) c = alphabet[std::uniform_int_distribution<int>(0, 3)(random)];
    // Long lines, and a CR LF pair astride the first block's end.
    content.replace(100, 400, 400, 'L');
    content.replace(4095, 2, "\r\n");
    const std::size_t block = trial % 2 == 0 ? 4096 : 4 + trial % 7;
    ASSERT_EQ(ReadAllLines(content, 256, block), ReferenceLines(content)) << "trial " << trial;
  }
}

TEST(ReadLineBlocks, AByteOrderMarkIsSkippedOnlyAtTheStart) {
  TempDir dir;
  WriteBytes(dir.Path("text"),
             "\xEF\xBB\xBF"
             "area.bmp\r\n\xEF\xBB\xBFx\r\n");
  InFile file;
  ASSERT_TRUE(file.Open(dir.Path("text").c_str()));
  TextReader text(file);
  ASSERT_TRUE(text.Reserve(4096));
  text.ReadByteOrderMark();
  char line[256];
  ReadLine(text, line, sizeof line);
  EXPECT_STREQ(line, "area.bmp");
  ReadLine(text, line, sizeof line);
  EXPECT_STREQ(line, "\xEF\xBB\xBFx");
}

// A text as Notepad's "Unicode" and "Unicode big endian" save it.
std::string Utf16File(const std::u16string& text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

// Its characters come out in WTF-8, and its lines as those of 8-bit text.
TEST(ReadLineUtf16, LinesAreItsCharactersInWtf8AndEndAsIn8BitText) {
  const std::pair<std::u16string, std::vector<Line>> cases[] = {
      {u"A\r\n\r\nB\r\n", {{"A", true}, {"", true}, {"B", true}, {"", false}}},
      {u"A\n\nB\n", {{"A", true}, {"B", true}, {"", false}}},
      {u"A\r\r\rB\r", {{"A", true}, {"", true}, {"B", true}, {"", false}}},
      {u"x,y", {{"x,y", false}}},
      {u"", {{"", false}}},
      {u"\u5730\u56F3\U0001F5FA.bmp\r\n",
       {{"\xE5\x9C\xB0\xE5\x9B\xB3\xF0\x9F\x97\xBA.bmp", true}, {"", false}}},
      {u"m\xD800.bmp\n", {{"m\xED\xA0\x80.bmp", true}, {"", false}}},  // a lone surrogate
      {std::u16string(u"s.bmp\0x\n5\0,7", 13), {{"s.bmp", true}, {"5", false}}},
  };
  for (const auto& [text, lines] : cases) {
    for (bool bigEndian : {false, true}) {
      EXPECT_EQ(ReadAllLines(Utf16File(text, bigEndian)), lines) << bigEndian;
    }
  }
}

// Random UTF-16 text, pairs and lone surrogates among its units, read in
// blocks of every small size, so that a block ends inside a unit, between
// the two of a pair and anywhere else: its lines are those of its WTF-8.
TEST(ReadLineUtf16, AnyBlockGivesTheLinesOfTheTextsWtf8) {
  EXPECT_EQ(ReadAllLines(Utf16File(u"ab", false) + "c"), (std::vector<Line>{{"ab", false}}));
  std::mt19937 random(16);
  const char16_t alphabet[] = {u'a', u'\r', u'\n', 0xE9, 0x5730, 0xD83D, 0xDDFA};
  for (int trial = 0; trial < 60; ++trial) {
    std::u16string text(std::uniform_int_distribution<int>(0, 60)(random), u'a');
    for (char16_t& unit : text) unit = alphabet[std::uniform_int_distribution<int>(0, 6)(random)];
    char wtf8[256];
    ASSERT_GE(Wtf8FromUtf16(text.data(), text.size(), wtf8, sizeof wtf8), 0);
    const std::size_t block = 4 + trial % 9;
    EXPECT_EQ(ReadAllLines(Utf16File(text, trial % 2 == 0), 256, block), ReferenceLines(wtf8))
        << "trial " << trial << ", block " << block;
  }
}

struct Split {
  std::string head, tail;
};

Split SplitFirst(const char* text, char separator) {
  char head[256] = "unset";
  char tail[256] = "unset";
  SplitAtFirst(text, separator, head, sizeof head, tail, sizeof tail);
  return {head, tail};
}

Split SplitLast(const char* text, char separator) {
  char head[256] = "unset";
  char tail[256] = "unset";
  SplitAtLast(text, separator, head, sizeof head, tail, sizeof tail);
  return {head, tail};
}

TEST(Splitters, CutAtTheFirstOrLastSeparator) {
  EXPECT_EQ(SplitFirst("12,34", ',').head, "12");
  EXPECT_EQ(SplitFirst("12,34", ',').tail, "34");
  EXPECT_EQ(SplitFirst("1,2,3", ',').head, "1");
  EXPECT_EQ(SplitFirst("1,2,3", ',').tail, "2,3");
  EXPECT_EQ(SplitFirst("77", ',').head, "77");
  EXPECT_EQ(SplitFirst("77", ',').tail, "");
  EXPECT_EQ(SplitFirst(",", ',').head, "");
  EXPECT_EQ(SplitLast("a.b.bmp", '.').head, "a.b");
  EXPECT_EQ(SplitLast("a.b.bmp", '.').tail, "bmp");
  EXPECT_EQ(SplitLast("noext", '.').head, "noext");
  EXPECT_EQ(SplitLast("maps.old/area", '.').head, "maps");
}

TEST(Splitters, MayWriteIntoTheirInputAndCutToFit) {
  char path[256] = "C:\\maps\\area.bmp";
  SplitAtLast(path, '.', path, sizeof path, nullptr, 0);
  EXPECT_STREQ(path, "C:\\maps\\area");

  char tail[256] = "left,right";
  SplitAtFirst(tail, ',', nullptr, 0, tail, sizeof tail);
  EXPECT_STREQ(tail, "right");

  char small[4];
  char rest[4];
  SplitAtFirst("abcdef,ghijkl", ',', small, sizeof small, rest, sizeof rest);
  EXPECT_STREQ(small, "abc");
  EXPECT_STREQ(rest, "ghi");
}

}  // namespace
