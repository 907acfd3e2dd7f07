// The whole run, in-process, with each of its file calls made to fail in
// turn: every point must end in the right message and status, never leave a
// half-written tile, keep the tiles finished before it, and leave the map
// description and the source as they were.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/globals.h"
#include "app/run.h"
#include "fileio/fault_injection.h"
#include "tests/recorded_message.h"
#include "tests/test_files.h"

namespace {

constexpr int kColumns = 3;
constexpr int kRows = 2;

class FaultWalk : public ::testing::Test {
 protected:
  void SetUp() override {
    BitmapShape shape;
    shape.width = 904;
    shape.height = 600;
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
  Outcome Run(long failAt) {
    for (int i = 0; i < kColumns * kRows; ++i) RemoveFile(TileName(i).c_str());
    TakeMessages();
    file_faults::Arm(failAt);
    Outcome outcome;
    outcome.status = RunTiling(dir_.Path("area.map").c_str());
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
};

TEST_F(FaultWalk, EveryFailingFileCallEndsInItsMessageAndLosesNothing) {
  const Outcome clean = Run(0);
  ASSERT_EQ(clean.status, kSuccessStatus);
  ASSERT_EQ(clean.message.text, kConverted);
  std::vector<std::string> tiles;
  for (int i = 0; i < kColumns * kRows; ++i) tiles.push_back(ReadBytes(TileName(i)));
  int tilesOpened = 0;
  for (std::size_t n = 1; n <= clean.calls.size(); ++n) {
    const RecordedCall failing = clean.calls[n - 1];
    SCOPED_TRACE("failing call " + std::to_string(n) + " of " + std::to_string(clean.calls.size()));
    const Outcome outcome = Run(static_cast<long>(n));

    const char* expected = nullptr;  // null: the program ignores this failure on purpose
    int tilesKept = tilesOpened;
    bool mapRead = false;
    if (failing.file == &tileFile) {
      expected = failing.call == FileCall::kOpen ? kCannotOpenTile : kCannotWriteTile;
      if (failing.call != FileCall::kOpen) tilesKept = tilesOpened - 1;
    } else if (failing.file == &sourceFile) {
      if (failing.call == FileCall::kOpen) expected = kCannotOpenSource;
      if (failing.call == FileCall::kRead || failing.call == FileCall::kSetPosition) {
        expected = kCannotReadSource;
      }
    } else {
      if (failing.call == FileCall::kOpen) expected = kCannotOpenMap;
      mapRead = failing.call == FileCall::kRead;
    }
    if (failing.file == &tileFile && failing.call == FileCall::kOpen) ++tilesOpened;

    EXPECT_EQ(outcome.message.count, 1);
    if (mapRead) {
      // A failed read ends the line early, as a short map would: the path
      // may be cut (no such file) or a corner read differently.
      if (outcome.status != kSuccessStatus) {
        EXPECT_EQ(outcome.message.text, kCannotOpenSource);
      }
      for (int i = 0; i < kColumns * kRows; ++i) {
        if (Exists(TileName(i))) {
          EXPECT_EQ(ReadBytes(TileName(i)).size(), 118u + 45600u);
        }
      }
    } else if (expected == nullptr) {
      EXPECT_EQ(outcome.status, kSuccessStatus);
      EXPECT_EQ(outcome.message.text, kConverted);
      tilesKept = kColumns * kRows;
    } else {
      EXPECT_EQ(outcome.status, kFailureStatus);
      EXPECT_EQ(outcome.message.text, expected);
      EXPECT_EQ(outcome.message.kind, MessageKind::kError);
    }
    if (!mapRead) {
      for (int i = 0; i < kColumns * kRows; ++i) {
        if (i < tilesKept) {
          EXPECT_EQ(ReadBytes(TileName(i)), tiles[i]) << "tile " << i << " must be intact";
        } else {
          EXPECT_FALSE(Exists(TileName(i))) << "tile " << i << " must not be there";
        }
      }
    }
    EXPECT_EQ(ReadBytes(dir_.Path("area.map")), map_);
    EXPECT_EQ(ReadBytes(dir_.Path("area.bmp")), source_);
    if (HasFailure()) return;
  }
  std::printf("fault walk: %zu failing calls, each in a run of its own\n", clean.calls.size());
}

}  // namespace
