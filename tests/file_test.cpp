#include "fileio/file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "fileio/block_reader.h"
#include "tests/temp_files.h"

namespace {

TEST(InFileRead, ExactCountSucceedsAndShortReadAtEndFailsKeepingWhatArrived) {
  TempDir dir;
  WriteBytes(dir.Path("ten"), "0123456789");
  InFile file;
  ASSERT_TRUE(file.Open(dir.Path("ten").c_str()));
  char buffer[14] = {};
  EXPECT_TRUE(file.Read(buffer, 4));
  EXPECT_EQ(std::string(buffer, 4), "0123");
  ASSERT_TRUE(file.SetPosition(0));
  EXPECT_FALSE(file.Read(buffer, 14));
  EXPECT_EQ(std::string(buffer, 10), "0123456789");
  EXPECT_FALSE(file.Read(buffer, 1));
}

TEST(InFileOpen, RefusesMissingFilesAndFolders) {
  TempDir dir;
  InFile file;
  EXPECT_FALSE(file.Open(dir.Path("missing").c_str()));
  EXPECT_FALSE(file.Open(dir.Path("").c_str()));
  EXPECT_FALSE(file.Open(""));
  EXPECT_FALSE(file.IsOpen());
  char c;
  EXPECT_FALSE(file.Read(&c, 1));
}

TEST(FileClose, IsHarmlessTwiceAndAfterAFailedOpen) {
  TempDir dir;
  InFile in;
  in.Close();
  EXPECT_FALSE(in.Open(dir.Path("missing").c_str()));
  in.Close();
  in.Close();
  EXPECT_FALSE(in.IsOpen());

  OutFile out;
  ASSERT_TRUE(out.Open(dir.Path("made").c_str()));
  EXPECT_TRUE(out.Close());
  EXPECT_TRUE(out.Close());
  EXPECT_FALSE(out.IsOpen());
}

// An object opened again lets go of the file it held: a writer may have it.
TEST(FileClose, OpeningAgainReleasesTheFileHeldBefore) {
  TempDir dir;
  WriteBytes(dir.Path("first"), "1");
  WriteBytes(dir.Path("second"), "2");
  InFile in;
  ASSERT_TRUE(in.Open(dir.Path("first").c_str()));
  ASSERT_TRUE(in.Open(dir.Path("second").c_str()));
  OutFile out;
  EXPECT_TRUE(out.Open(dir.Path("first").c_str()));
  EXPECT_TRUE(out.Open(dir.Path("third").c_str()));
  EXPECT_TRUE(out.Open(dir.Path("first").c_str()));
}

TEST(FilePosition, IsAbsoluteAndANegativeDistanceFailsWithoutMoving) {
  TempDir dir;
  WriteBytes(dir.Path("abc"), "abcdef");
  InFile file;
  ASSERT_TRUE(file.Open(dir.Path("abc").c_str()));
  char c;
  ASSERT_TRUE(file.SetPosition(3));
  EXPECT_FALSE(file.SetPosition(-1));
  ASSERT_TRUE(file.Read(&c, 1));
  EXPECT_EQ(c, 'd');
  ASSERT_TRUE(file.SetPosition(1));
  ASSERT_TRUE(file.Read(&c, 1));
  EXPECT_EQ(c, 'b');
}

TEST(OutFileOpen, EmptiesAnExistingFileAndWritesExactly) {
  TempDir dir;
  const std::string path = dir.Path("old");
  WriteBytes(path, "old content that must go");
  OutFile file;
  ASSERT_TRUE(file.Open(path.c_str()));
  EXPECT_EQ(ReadBytes(path), "");
  EXPECT_TRUE(file.Write("new", 3));
  // Positioning past the end leaves zeros in the gap.
  ASSERT_TRUE(file.SetPosition(6));
  EXPECT_TRUE(file.Write("!", 1));
  EXPECT_FALSE(file.SetPosition(-5));
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(ReadBytes(path), std::string("new\0\0\0!", 7));
}

TEST(OutFileOpen, RefusesAFolder) {
  TempDir dir;
  OutFile file;
  EXPECT_FALSE(file.Open(dir.Path("").c_str()));
  EXPECT_FALSE(file.Write("x", 1));
}

TEST(ShareModes, ReadersShareAndAWriterExcludesEverybody) {
  TempDir dir;
  const std::string path = dir.Path("shared");
  WriteBytes(path, "keep me");

  InFile reader1;
  InFile reader2;
  ASSERT_TRUE(reader1.Open(path.c_str()));
  EXPECT_TRUE(reader2.Open(path.c_str()));
  OutFile writer;
  EXPECT_FALSE(writer.Open(path.c_str())) << "a writer while readers hold the file";
  EXPECT_EQ(ReadBytes(path), "keep me") << "a refused writer must not empty the file";
  reader1.Close();
  reader2.Close();

  ASSERT_TRUE(writer.Open(path.c_str()));
  InFile reader3;
  EXPECT_FALSE(reader3.Open(path.c_str())) << "a reader while a writer holds the file";
  OutFile writer2;
  EXPECT_FALSE(writer2.Open(path.c_str())) << "a second writer";
  writer.Close();
  EXPECT_TRUE(reader3.Open(path.c_str()));
}

TEST(RemoveFile, DeletesAClosedFile) {
  TempDir dir;
  WriteBytes(dir.Path("gone"), "x");
  EXPECT_TRUE(RemoveFile(dir.Path("gone").c_str()));
  EXPECT_FALSE(Exists(dir.Path("gone")));
  EXPECT_FALSE(RemoveFile(dir.Path("gone").c_str()));
}

// Stretches from anywhere, in blocks of 5 bytes, by a reader that reads as
// far ahead as it may and one that reads only what is asked, with other
// reads of the file in between, of the very bytes wanted next among others:
// each holds the file's bytes there, as many as asked unless the file ends.
TEST(BlockReader, HandsOutTheFilesBytesWhateverElseMovesIt) {
  TempDir dir;
  std::string content;
  for (int i = 0; i < 100; ++i) content += static_cast<char>(i);
  WriteBytes(dir.Path("bytes"), content);
  InFile file;
  ASSERT_TRUE(file.Open(dir.Path("bytes").c_str()));
  BlockReader readers[2];
  ASSERT_TRUE(readers[0].Reserve(5) && readers[1].Reserve(5, true));
  std::mt19937 random(5);
  auto between = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  for (int i = 0; i < 300; ++i) {
    const std::size_t offset = between(0, 100), count = between(0, 5);
    if (between(0, 2) == 0) {
      char other;
      std::uint32_t got;
      ASSERT_TRUE(file.SetPosition(between(0, 1) == 0 ? offset : between(0, 99)));
      ASSERT_TRUE(file.ReadUpTo(&other, 1, got));
    }
    ByteSpan bytes;
    ASSERT_TRUE(readers[between(0, 1)].Fetch(file, offset, count, bytes));
    EXPECT_GE(bytes.size, std::min(count, content.size() - offset)) << i;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.at), bytes.size),
              content.substr(offset, bytes.size))
        << i;
  }
}

}  // namespace
