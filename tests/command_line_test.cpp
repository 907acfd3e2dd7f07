#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

bool NoLeadBytes(unsigned char) {
  return false;
}
bool ShiftJisLike(unsigned char c) {
  return c == 0x81;
}

std::string Tail(const char* commandLine) {
  return TailFromCommandLine(commandLine, NoLeadBytes);
}

TEST(TailFromArguments, JoinsTheArgumentsAfterTheProgramName) {
  const char* none[] = {"gridsaw"};
  EXPECT_EQ(TailFromArguments(1, none), "");
  const char* split[] = {"gridsaw", "my", "maps/a.map"};
  EXPECT_EQ(TailFromArguments(3, split), "my maps/a.map");
  const char* whole[] = {"gridsaw", "my maps/a.map"};
  EXPECT_EQ(TailFromArguments(2, whole), "my maps/a.map");
}

TEST(TailFromCommandLine, SkipsAnUnquotedProgramNameAndTheBlanksAfterIt) {
  EXPECT_EQ(Tail("gridsaw.exe area.map"), "area.map");
  EXPECT_EQ(Tail("gridsaw.exe \t\x01\x1f C:\\maps\\area.map"), "C:\\maps\\area.map");
  EXPECT_EQ(Tail("gridsaw.exe my maps\\a.map  "), "my maps\\a.map  ") << "verbatim, blanks kept";
  EXPECT_EQ(Tail("C:\\bin\\gridsaw.exe\xE9x area.map"), "area.map") << "high bytes are above space";
  EXPECT_EQ(Tail("gridsaw.exe"), "");
  EXPECT_EQ(Tail("gridsaw.exe   "), "");
  EXPECT_EQ(Tail(""), "");
}

TEST(TailFromCommandLine, SkipsAQuotedProgramNameUpToItsClosingQuote) {
  EXPECT_EQ(Tail("\"C:\\Program Files\\gridsaw.exe\" area.map"), "area.map");
  EXPECT_EQ(Tail("\"C:\\Program Files\\gridsaw.exe\"area.map"), "area.map");
  EXPECT_EQ(Tail("\"C:\\Program Files\\gridsaw.exe area.map"), "") << "no closing quote";
}

TEST(TailFromCommandLine, ADoubleByteCharacterKeepsItsTrailByteInsideQuotes) {
  // 0x81 0x22 is one character whose trail byte looks like a quote.
  EXPECT_EQ(TailFromCommandLine("\"C:\\\x81\"\\gridsaw.exe\" a.map", ShiftJisLike), "a.map");
  EXPECT_EQ(TailFromCommandLine("\"C:\\\x81\"\\gridsaw.exe\" a.map", NoLeadBytes),
            "\\gridsaw.exe\" a.map");
  EXPECT_EQ(TailFromCommandLine("\"C:\\gridsaw.exe\x81", ShiftJisLike), "") << "lead byte at end";
}

TEST(TailFromCommandLine, RemovesOnlyQuotesThatEncloseTheWholeTail) {
  EXPECT_EQ(Tail("gridsaw.exe \"my maps\\a.map\""), "my maps\\a.map");
  EXPECT_EQ(Tail("gridsaw.exe \"my maps\\a.map\"  "), "my maps\\a.map");
  EXPECT_EQ(Tail("gridsaw.exe \"\""), "");
  EXPECT_EQ(Tail("gridsaw.exe \"a\" \"b\""), "\"a\" \"b\"");
  EXPECT_EQ(Tail("gridsaw.exe \"a.map\" x"), "\"a.map\" x");
  EXPECT_EQ(Tail("gridsaw.exe \"a.map"), "\"a.map");
  EXPECT_EQ(Tail("gridsaw.exe a \"b\""), "a \"b\"");
  EXPECT_EQ(TailFromCommandLine("g.exe \"\x81\"\"", ShiftJisLike), "\x81\"");
}

}  // namespace
