#include "app/path_text.h"

#include <gtest/gtest.h>

namespace {

// Line 1 is taken as UTF-8 only when it is well-formed UTF-8 and needs to be:
// every other line is the ANSI code page's text, as it always was.
TEST(IsUtf8WithHighBytes, TellsUtf8FromAnsiText) {
  EXPECT_TRUE(IsUtf8WithHighBytes("C:\\t\\cart\xC3\xA9\\area.bmp"));
  EXPECT_TRUE(IsUtf8WithHighBytes("\xCE\xA9maps \xE5\x9C\xB0\xE5\x9B\xB3 \xF0\x9F\x97\xBA"));
  EXPECT_FALSE(IsUtf8WithHighBytes("C:\\maps\\area.bmp")) << "nothing above 127";
  EXPECT_FALSE(IsUtf8WithHighBytes("C:\\t\\cart\xE9\\area.bmp")) << "code page 1252";
  EXPECT_FALSE(IsUtf8WithHighBytes("\xC3")) << "cut short";
  EXPECT_FALSE(IsUtf8WithHighBytes("\xC0\xAF")) << "overlong";
  EXPECT_FALSE(IsUtf8WithHighBytes("\xE0\x80\xAF")) << "overlong";
  EXPECT_FALSE(IsUtf8WithHighBytes("\xED\xA0\x80")) << "a surrogate";
  EXPECT_FALSE(IsUtf8WithHighBytes("\xF4\x90\x80\x80")) << "past U+10FFFF";
  EXPECT_FALSE(IsUtf8WithHighBytes("\xE5\x9C")) << "cut short";
  // A path from a UTF-16 file is taken on Linux only when it is UTF-8.
  EXPECT_TRUE(IsUtf8("C:\\maps\\area.bmp"));
  EXPECT_FALSE(IsUtf8("m\xED\xA0\x80.bmp")) << "a lone surrogate in WTF-8";
}

}  // namespace
