// The whole run, in-process, with each of its file calls made to fail in
// turn, as an I/O error and (for reads) as a sudden end of the file: every
// point must end in the right message and status, never leave a
// half-written tile, keep the tiles finished before it, and leave the map
// description and the source as they were. Over a plain source and an RLE4
// one, each read with the program's sizes and with small ones: read blocks
// of an odd size, column groups of two tiles, one noted band start. With
// the small sizes, of each kind of call only the first, a middle and the
// last are made to fail.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>

#include "app/globals.h"
#include "app/run.h"
#include "tests/file_faults.h"
#include "tests/recorded_message.h"
#include "tests/test_bitmaps.h"

namespace {

constexpr int kColumns = 3;
constexpr int kRows = 2;

struct Walked {
  bool rle;
  ReadSizes sizes;
};

constexpr ReadSizes kSmallSizes = {1031, 2 * 300 * 152 + 600, 1};

// The calls to fail, counted from 1: every one, or with the small sizes, of
// each kind of call (its file and what it does) the first, a middle and the
// last.
std::set<std::size_t> CallsToFail(const std::vector<RecordedCall>& calls, const ReadSizes& sizes) {
  std::map<std::pair<const void*, FileCall>, std::vector<std::size_t>> kinds;
  for (std::size_t n = 1; n <= calls.size(); ++n) {
    kinds[{calls[n - 1].file, calls[n - 1].call}].push_back(n);
  }
  std::set<std::size_t> chosen;
  for (const auto& [kind, ns] : kinds) {
    if (sizes.readBlock == kSmallSizes.readBlock) {
      chosen.insert({ns.front(), ns[ns.size() / 2], ns.back()});
    } else {
      chosen.insert(ns.begin(), ns.end());
    }
  }
  return chosen;
}

class FaultWalk : public ::testing::TestWithParam<Walked> {
 protected:
  void SetUp() override {
    BitmapShape shape;
    shape.width = 904;
    shape.height = 600;
    shape.rle = GetParam().rle;
    source_ = MakeBitmap(shape);
    WriteBytes(dir_.Path("area.bmp"), source_);
    map_ = dir_.Path("area.bmp") + "\r\n0,0\r\n\r\n\r\n900,600\r\n\r\n\r\n";
    WriteBytes(dir_.Path("area.map"), map_);
  }

  std::string TileName(int index) const {
    char name[64];
    std::snprintf(name, sizeof name, "area tile %d,%d.bmp", index % kColumns, index / kColumns);
    return dir_.Path(name);
  }

  struct Outcome {
    int status;
    RecordedMessage message;
    std::vector<RecordedCall> calls;
  };

  // One run from a folder without tiles, the `failAt`-th file call failing.
  Outcome Run(long failAt, Fault fault = Fault::kError, bool removalsFail = false) {
    for (int i = 0; i < kColumns * kRows; ++i) RemoveFile(TileName(i).c_str());
    TakeMessages();
    file_faults::Arm(failAt, fault, removalsFail);
    Outcome outcome;
    outcome.status = RunTiling(dir_.Path("area.map").c_str(), GetParam().sizes);
    outcome.calls = file_faults::Calls();
    file_faults::Disarm();
    outcome.message = TakeMessages();
    // What the process's end would close.
    sourceFile.Close();
    tileFile.Close();
    return outcome;
  }

  TempDir dir_;
  std::string source_;
  std::string map_;

  bool TileIsWholeOrAbsent(int index) const {
    return !Exists(TileName(index)) || ReadBytes(TileName(index)).size() == 118u + 45600u;
  }
};

TEST_P(FaultWalk, EveryFailingFileCallEndsInItsMessageAndLosesNothing) {
  const Outcome clean = Run(0);
  ASSERT_EQ(clean.status, kSuccessStatus);
  ASSERT_EQ(clean.message.text, kConverted);
  std::vector<std::string> tiles;
  for (int i = 0; i < kColumns * kRows; ++i) tiles.push_back(ReadBytes(TileName(i)));

  const std::set<std::size_t> toFail = CallsToFail(clean.calls, GetParam().sizes);
  for (std::size_t n : toFail) {
    const RecordedCall failing = clean.calls[n - 1];
    SCOPED_TRACE("failing call " + std::to_string(n) + " of " + std::to_string(clean.calls.size()));
    const Outcome outcome = Run(static_cast<long>(n));
    int tilesOpened = 0;  // before this call
    int mapReads = 0;
    for (std::size_t before = 0; before + 1 < n; ++before) {
      const RecordedCall& call = clean.calls[before];
      tilesOpened += call.file == &tileFile && call.call == FileCall::kOpen ? 1 : 0;
      mapReads +=
          call.file != &tileFile && call.file != &sourceFile && call.call == FileCall::kRead;
    }

    const char* expected = nullptr;  // null: the program ignores this failure on purpose
    int tilesKept = tilesOpened;
    if (failing.file == &tileFile) {
      expected = failing.call == FileCall::kOpen ? kCannotOpenTile : kCannotWriteTile;
      if (failing.call != FileCall::kOpen) tilesKept = tilesOpened - 1;
    } else if (failing.file == &sourceFile) {
      if (failing.call == FileCall::kOpen) expected = kCannotOpenSource;
      if (failing.call != FileCall::kOpen && failing.call != FileCall::kClose) {
        expected = kCannotReadSource;  // a read, a positioning or a look at its stamp
      }
    } else {
      if (failing.call == FileCall::kOpen) expected = kCannotOpenMap;
      if (failing.call == FileCall::kRead) expected = kCannotReadMap;
    }
    EXPECT_EQ(outcome.message.count, 1);
    if (expected == nullptr) {
      EXPECT_EQ(outcome.status, kSuccessStatus);
      EXPECT_EQ(outcome.message.text, kConverted);
      tilesKept = kColumns * kRows;
    } else {
      EXPECT_EQ(outcome.status, kFailureStatus);
      EXPECT_EQ(outcome.message.text, expected);
      EXPECT_EQ(outcome.message.kind, MessageKind::kError);
    }
    for (int i = 0; i < kColumns * kRows; ++i) {
      if (i < tilesKept) {
        EXPECT_EQ(ReadBytes(TileName(i)), tiles[i]) << "tile " << i << " must be intact";
      } else {
        EXPECT_FALSE(Exists(TileName(i))) << "tile " << i << " must not be there";
      }
    }

    if (failing.file == &tileFile && failing.call != FileCall::kOpen) {
      // Nor can the unfinished tile be removed: the run still says so.
      const Outcome unremoved = Run(static_cast<long>(n), Fault::kError, true);
      EXPECT_EQ(unremoved.status, kFailureStatus);
      EXPECT_EQ(unremoved.message.text, kCannotWriteTile);
      for (int i = 0; i < tilesKept; ++i) EXPECT_TRUE(ReadBytes(TileName(i)) == tiles[i]) << i;
    }
    if (failing.call == FileCall::kRead) {
      // The end of the file where it is not: the map description reads as
      // if it stopped there, and no tile is ever left half-written.
      const Outcome ended = Run(static_cast<long>(n), Fault::kEndOfFile);
      EXPECT_EQ(ended.message.count, 1);
      EXPECT_NE(ended.message.text, kCannotReadMap);
      if (failing.file != &sourceFile) {
        EXPECT_EQ(ended.message.text, mapReads == 0 ? kCannotOpenSource : kConverted);
      }
      for (int i = 0; i < kColumns * kRows; ++i) {
        EXPECT_TRUE(TileIsWholeOrAbsent(i)) << i;
        // A success means that no read came up short: every tile is as clean.
        if (ended.message.text == kConverted) {
          EXPECT_TRUE(ReadBytes(TileName(i)) == tiles[i]) << i;
        }
      }
    }
    EXPECT_EQ(ReadBytes(dir_.Path("area.map")), map_);
    EXPECT_EQ(ReadBytes(dir_.Path("area.bmp")), source_);
    if (HasFailure()) return;
  }
  std::printf("fault walk: %zu of %zu calls failing, each in a run of its own\n", toFail.size(),
              clean.calls.size());
}

INSTANTIATE_TEST_SUITE_P(PlainAndRle4, FaultWalk,
                         ::testing::Values(Walked{false, {}}, Walked{true, {}},
                                           Walked{false, kSmallSizes}, Walked{true, kSmallSizes}),
                         [](const ::testing::TestParamInfo<Walked>& walked) {
                           return std::string(walked.param.rle ? "Rle4Source" : "PlainSource") +
                                  (walked.param.sizes.readBlock == kSmallSizes.readBlock
                                       ? "SmallSizes"
                                       : "");
                         });

}  // namespace

namespace {

// A source bitmap dropped on the program instead of its map description: a
// 50 MB file without line ends is refused after at most two blocks are read,
// not read to its end.
TEST(MapDescription, ALargeFileWithoutLineEndsIsRefusedInTwoBlocks) {
  TempDir dir;
  WriteBytes(dir.Path("huge.map"), std::string(50 << 20, 'x'));
  TakeMessages();
  file_faults::Arm(0);
  const ReadSizes sizes;
  const int status = RunTiling(dir.Path("huge.map").c_str(), sizes);
  std::uint64_t bytesRead = 0;
  for (const RecordedCall& call : file_faults::Calls()) {
    bytesRead += call.call == FileCall::kRead ? call.bytes : 0;
  }
  file_faults::Disarm();
  EXPECT_EQ(status, kFailureStatus);
  EXPECT_EQ(TakeMessages().text, kCannotOpenSource);
  EXPECT_LE(bytesRead, 2 * sizes.readBlock);
}

}  // namespace
