// Paths in UTF-16, as Windows gives them, must come back unit for unit
// after the program has kept them in 8 bits: also a name with a lone
// surrogate, which NTFS allows and UTF-8 cannot hold.
#include "fileio/wtf8.h"

#include <gtest/gtest.h>

namespace {

std::u16string RoundTrip(const std::u16string& text) {
  std::u16string back;
  EXPECT_TRUE(Utf16FromWtf8(Wtf8FromUtf16(text.c_str()).c_str(), back));
  return back;
}

TEST(Wtf8, EveryUtf16TextComesBackExactly) {
  for (const std::u16string text :
       {u"area.map", u"\u5730\u56F3\\\u03A9.map", u"C:\\\U0001F5FA\\a.map", u"m\xD800.map",
        u"\xDC00\xD800", u"\xD83D", u"\xDE3A\xD83D\xDE3A"}) {
    EXPECT_TRUE(RoundTrip(text) == text);
  }
  // Whole characters are plain UTF-8; a lone surrogate takes three bytes.
  EXPECT_EQ(Wtf8FromUtf16(u"\U0001F5FA\u00E9"), "\xF0\x9F\x97\xBA\xC3\xA9");
  EXPECT_EQ(Wtf8FromUtf16(u"m\xD800"), "m\xED\xA0\x80");
}

TEST(Wtf8, RefusesWhatNoUtf16TextGives) {
  std::u16string text = u"kept";
  for (const char* bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80",
                          "\x80", "a\xC3", "\xE2\x82"}) {
    EXPECT_FALSE(Utf16FromWtf8(bad, text)) << bad;
  }
  EXPECT_TRUE(text == u"kept");
}

}  // namespace
