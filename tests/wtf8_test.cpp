// Paths in UTF-16, as Windows gives them, must come back unit for unit
// after the program has kept them in 8 bits: also a name with a lone
// surrogate, which NTFS allows and UTF-8 cannot hold.
#include "fileio/wtf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Wtf8Of(const std::u16string& text) {
  char out[64];
  EXPECT_GE(Wtf8FromUtf16(text.data(), text.size(), out, sizeof out), 0);
  return std::string(out, std::char_traits<char>::length(out));
}

std::u16string RoundTrip(const std::u16string& text) {
  char16_t back[64];
  EXPECT_GE(Utf16FromWtf8(Wtf8Of(text).c_str(), back, 64), 0);
  return back;
}

TEST(Wtf8, EveryUtf16TextComesBackExactly) {
  for (const std::u16string text :
       {u"area.map", u"\u5730\u56F3\\\u03A9.map", u"C:\\\U0001F5FA\\a.map", u"m\xD800.map",
        u"\xDC00\xD800", u"\xD83D", u"\xDE3A\xD83D\xDE3A", u"\u007F\u0080\u07FF\u0800\uFFFF"}) {
    EXPECT_TRUE(RoundTrip(text) == text);
  }
  // Whole characters are plain UTF-8, two bytes up to U+07FF and three from
  // U+0800; a lone surrogate takes three bytes.
  EXPECT_EQ(Wtf8Of(u"\U0001F5FA\u00E9"), "\xF0\x9F\x97\xBA\xC3\xA9");
  EXPECT_EQ(Wtf8Of(u"\u07FF\u0800"), "\xDF\xBF\xE0\xA0\x80");
  EXPECT_EQ(Wtf8Of(u"m\xD800"), "m\xED\xA0\x80");
  // U+0000 too is a character: the whole text converts.
  char out[8];
  EXPECT_EQ(Wtf8FromUtf16(u"a\0b", 3, out, sizeof out), 3);
  EXPECT_EQ(std::string(out, 3), std::string("a\0b", 3));
}

TEST(Wtf8, RefusesWhatNoUtf16TextGivesAndWhatDoesNotFit) {
  char16_t text[8] = u"kept";
  for (const char* bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xE0\x9F\xBF", "\xF4\x90\x80\x80",
                          "\xF8\x88\x80\x80\x80", "\x80", "a\xC3", "\xE2\x82"}) {
    EXPECT_LT(Utf16FromWtf8(bad, text, 8), 0) << bad;
  }
  EXPECT_LT(Utf16FromWtf8("abc", text, 3), 0) << "room for the NUL too";
  EXPECT_EQ(Utf16FromWtf8("ab", text, 3), 2);
  char out[4];
  EXPECT_LT(Wtf8FromUtf16(u"\u00E9\u00E9", 2, out, sizeof out), 0) << "4 bytes and a NUL";
  EXPECT_EQ(Wtf8FromUtf16(u"\u00E9a", 2, out, sizeof out), 3);
}

}  // namespace
