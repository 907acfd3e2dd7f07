// How much of an RLE4 source a whole run reads, counted through the file
// layer's seam: each band is decoded from where it begins, so the stream is
// read about twice, whatever its codes, and nothing after its end-of-bitmap
// code is read at all.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/globals.h"
#include "app/run.h"
#include "fileio/fault_injection.h"
#include "tests/recorded_message.h"
#include "tests/test_files.h"

namespace {

constexpr std::uint64_t kHeaders = 118;
constexpr std::uint64_t kBlock = 64 * 1024;  // what one read of the stream asks for

// A 16-colour RLE4 bitmap of `width` x `height` with `stream` as its pixels.
std::string Rle4Bitmap(std::int32_t width, std::int32_t height, const std::string& stream) {
  BitmapShape shape;
  shape.width = width;
  shape.height = height;
  shape.rle4 = true;
  return MakeBitmap(shape).substr(0, kHeaders) + stream;
}

// The bytes the run asked to read from the source, after cutting the grid
// of 0,0 to `right`,`bottom`.
std::uint64_t SourceBytesRead(const std::string& bitmap, std::int32_t right, std::int32_t bottom,
                              std::uint64_t sparseTail = 0) {
  TempDir dir;
  WriteBytes(dir.Path("area.bmp"), bitmap);
  if (sparseTail > 0)
    std::filesystem::resize_file(dir.Path("area.bmp"), bitmap.size() + sparseTail);
  WriteBytes(dir.Path("area.map"), dir.Path("area.bmp") + "\r\n0,0\r\n\r\n\r\n" +
                                       std::to_string(right) + "," + std::to_string(bottom) +
                                       "\r\n\r\n\r\n");
  TakeMessages();
  file_faults::Arm(0);
  const int status = RunTiling(dir.Path("area.map").c_str());
  const std::vector<RecordedCall> calls = file_faults::Calls();
  file_faults::Disarm();
  sourceFile.Close();
  tileFile.Close();
  EXPECT_EQ(status, kSuccessStatus) << TakeMessages().text;
  std::uint64_t bytes = 0;
  for (const RecordedCall& call : calls) {
    if (call.file == &sourceFile && call.call == FileCall::kRead) bytes += call.bytes;
  }
  return bytes;
}

// Rows that end in a delta up, not an end of line, each with 100 runs: a
// band's start is noted wherever it falls, so no band decodes from an
// earlier one's, nor from the stream's start.
TEST(Rle4Work, ADeltaOnlyStreamIsReadTwiceNotOnceForEachBand) {
  constexpr int kRows = 6000, kBands = kRows / 300;
  std::string stream;
  for (int row = 0; row < kRows; ++row) {
    for (int run = 0; run < 100; ++run) stream += std::string("\x03\x12", 2);
    stream += std::string("\0\x02\0\x01", 4);
  }
  stream += std::string("\0\x01", 2);
  const std::uint64_t read = SourceBytesRead(Rle4Bitmap(300, kRows, stream), 300, kRows);
  EXPECT_LE(read, 2 * stream.size() + (kBands + 1) * kBlock + 2 * kHeaders);
  EXPECT_GE(read, 2 * stream.size()) << "every band is decoded";
}

// A stream that ends at once, followed by a long tail of nothing.
TEST(Rle4Work, NothingPastTheEndOfBitmapCodeIsRead) {
  const std::uint64_t read =
      SourceBytesRead(Rle4Bitmap(8, 2, std::string("\0\x01", 2)), 300, 300, 256u << 20);
  EXPECT_LE(read, 2 * (kHeaders + kBlock));
}

}  // namespace
