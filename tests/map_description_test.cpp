#include "app/map_description.h"

#include <gtest/gtest.h>

#include "fileio/text.h"
#include "tests/temp_files.h"

namespace {

TEST(ParseInteger, ReadsAsAtoiDoes) {
  EXPECT_EQ(ParseInteger("900"), 900);
  EXPECT_EQ(ParseInteger(" \t\n\v\f\r-42xyz"), -42);
  EXPECT_EQ(ParseInteger("+7"), 7);
  EXPECT_EQ(ParseInteger(""), 0);
  EXPECT_EQ(ParseInteger("abc"), 0);
  EXPECT_EQ(ParseInteger("- 5"), 0);
  EXPECT_EQ(ParseInteger("2147483647"), 2147483647);
  EXPECT_EQ(ParseInteger("-2147483648"), INT32_MIN);
}

TEST(ParseInteger, WrapsOutOfRangeNumbersModulo2To32) {
  EXPECT_EQ(ParseInteger("2147483648"), INT32_MIN);
  EXPECT_EQ(ParseInteger("4294967296"), 0);
  EXPECT_EQ(ParseInteger("4294967597"), 301);
  EXPECT_EQ(ParseInteger("99999999999999999999999"), static_cast<std::int32_t>(4135583743u));
}

Region RegionOf(const std::string& mapText) {
  TempDir dir;
  WriteBytes(dir.Path("area.map"), mapText);
  InFile map;
  EXPECT_TRUE(map.Open(dir.Path("area.map").c_str()));
  TextReader text(map);
  EXPECT_TRUE(text.Reserve(64));
  char line[kTextCapacity];
  ReadLine(text, line, sizeof line);
  return ReadRegion(text);
}

TEST(ReadRegion, TakesCornersFromTheSecondAndFifthLine) {
  const Region region = RegionOf("area.bmp\r\n-5,7\r\n\r\n\r\n900,600\r\n\r\n\r\n");
  EXPECT_EQ(region.left, -5);
  EXPECT_EQ(region.top, 7);
  EXPECT_EQ(region.right, 900);
  EXPECT_EQ(region.bottom, 600);
  // y is what follows the first comma, as far as atoi reads it.
  const Region secondComma = RegionOf("a\r\n10,20,30\r\n\r\n\r\n40,50,60\r\n");
  EXPECT_EQ(secondComma.top, 20);
  EXPECT_EQ(secondComma.bottom, 50);
}

TEST(ReadRegion, EmptyLinesCollapseWithLfEndsSoTheFifthLineReadIsEmpty) {
  const Region region = RegionOf("area.bmp\n0,0\n\n\n900,600\n\n\n");
  EXPECT_EQ(region.right, 0);
  EXPECT_EQ(region.bottom, 0);
}

TEST(ReadRegion, MissingLinesAndCommasReadAsZero) {
  const Region onlyPath = RegionOf("area.bmp");
  EXPECT_EQ(onlyPath.left, 0);
  EXPECT_EQ(onlyPath.bottom, 0);
  const Region noComma = RegionOf("a\n12\nx\ny\n34\n");
  EXPECT_EQ(noComma.left, 12);
  EXPECT_EQ(noComma.top, 0);
  EXPECT_EQ(noComma.right, 34);
  EXPECT_EQ(noComma.bottom, 0);
}

}  // namespace
