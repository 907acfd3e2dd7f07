#include "fileio/text.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/test_files.h"

namespace {

using Line = std::pair<std::string, bool>;

// Every line ReadLine returns, up to and including the first false result.
std::vector<Line> ReadAllLines(const std::string& content, std::size_t size = 256) {
  TempDir dir;
  WriteBytes(dir.Path("text"), content);
  InFile file;
  EXPECT_TRUE(file.Open(dir.Path("text").c_str()));
  std::vector<Line> lines;
  std::vector<char> buffer(size);
  for (;;) {
    const bool ended = ReadLine(file, buffer.data(), buffer.size());
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

TEST(ReadLineLength, ALongLineIsConsumedWholeAndCutToTheBuffer) {
  const std::string longLine(300, 'p');
  EXPECT_EQ(ReadAllLines(longLine + "\nnext\n", 256),
            (std::vector<Line>{{std::string(255, 'p'), true}, {"next", true}, {"", false}}));

  TempDir dir;
  WriteBytes(dir.Path("text"), std::string(255, 'a') + "\n" + std::string(256, 'b') + "\n");
  InFile file;
  ASSERT_TRUE(file.Open(dir.Path("text").c_str()));
  char line[256];
  bool cut = true;
  EXPECT_TRUE(ReadLine(file, line, sizeof line, &cut));
  EXPECT_FALSE(cut) << "255 characters fit";
  EXPECT_TRUE(ReadLine(file, line, sizeof line, &cut));
  EXPECT_TRUE(cut) << "256 characters do not";
  EXPECT_EQ(std::string(line), std::string(255, 'b'));
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
