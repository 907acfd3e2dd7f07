#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

std::u16string Tail(const char16_t* commandLine) {
  char16_t tail[64];
  EXPECT_TRUE(TailFromCommandLine(commandLine, tail, sizeof tail / sizeof tail[0]));
  return tail;
}

std::string Tail(int argc, const char* const* argv) {
  char tail[16];
  return TailFromArguments(argc, argv, tail, sizeof tail) ? tail : "(does not fit)";
}

TEST(TailFromArguments, JoinsTheArgumentsAfterTheProgramName) {
  const char* none[] = {"gridsaw"};
  EXPECT_EQ(Tail(1, none), "");
  const char* split[] = {"gridsaw", "my", "maps/a.map"};
  EXPECT_EQ(Tail(3, split), "my maps/a.map");
  const char* whole[] = {"gridsaw", "my maps/a.map"};
  EXPECT_EQ(Tail(2, whole), "my maps/a.map");
  const char* fifteen[] = {"gridsaw", "my", "maps/abc.map"};
  EXPECT_EQ(Tail(3, fifteen), "my maps/abc.map");
  const char* sixteen[] = {"gridsaw", "my", "maps/abcd.map"};
  EXPECT_EQ(Tail(3, sixteen), "(does not fit)") << "never cut to name another file";
}

TEST(TailFromCommandLine, ATailThatDoesNotFitIsRefusedNotCut) {
  char16_t tail[9];
  EXPECT_TRUE(TailFromCommandLine(u"gridsaw.exe \"12345678\"", tail, 9));
  EXPECT_FALSE(TailFromCommandLine(u"gridsaw.exe 123456789", tail, 9));
}

TEST(TailFromCommandLine, SkipsAnUnquotedProgramNameAndTheBlanksAfterIt) {
  EXPECT_EQ(Tail(u"gridsaw.exe area.map"), u"area.map");
  EXPECT_EQ(Tail(u"gridsaw.exe \t\x01\x1f C:\\maps\\area.map"), u"C:\\maps\\area.map");
  EXPECT_EQ(Tail(u"gridsaw.exe my maps\\a.map \t "), u"my maps\\a.map") << "blanks after it go too";
  EXPECT_EQ(Tail(u"C:\\bin\\gridsaw\u00E9\u03A9.exe area.map"), u"area.map")
      << "characters past ASCII are above space";
  EXPECT_EQ(Tail(u"gridsaw.exe"), u"");
  EXPECT_EQ(Tail(u"gridsaw.exe   "), u"");
  EXPECT_EQ(Tail(u""), u"");
}

TEST(TailFromCommandLine, SkipsAQuotedProgramNameUpToItsClosingQuote) {
  EXPECT_EQ(Tail(u"\"C:\\Program Files\\gridsaw.exe\" area.map"), u"area.map");
  EXPECT_EQ(Tail(u"\"C:\\Program Files\\gridsaw.exe\"area.map"), u"area.map");
  EXPECT_EQ(Tail(u"\"C:\\Program Files\\gridsaw.exe area.map"), u"") << "no closing quote";
  // A character outside the Basic Multilingual Plane is two units, neither a quote.
  EXPECT_EQ(Tail(u"\"C:\\\U0001F5FA\\gridsaw.exe\" \u5730\u56F3\\a.map"), u"\u5730\u56F3\\a.map");
}

TEST(TailFromCommandLine, RemovesOnlyQuotesThatEncloseTheWholeTail) {
  EXPECT_EQ(Tail(u"gridsaw.exe \"my maps\\a.map\""), u"my maps\\a.map");
  EXPECT_EQ(Tail(u"gridsaw.exe \"my maps\\a.map\"  "), u"my maps\\a.map");
  EXPECT_EQ(Tail(u"gridsaw.exe \"\""), u"");
  EXPECT_EQ(Tail(u"gridsaw.exe \"a\" \"b\""), u"\"a\" \"b\"");
  EXPECT_EQ(Tail(u"gridsaw.exe \"a.map\" x"), u"\"a.map\" x");
  EXPECT_EQ(Tail(u"gridsaw.exe \"a.map"), u"\"a.map");
  EXPECT_EQ(Tail(u"gridsaw.exe a \"b\""), u"a \"b\"");
  EXPECT_EQ(Tail(u"gridsaw.exe \"C:\\t\\\u03A9maps\\a.map\""), u"C:\\t\\\u03A9maps\\a.map");
}

}  // namespace
