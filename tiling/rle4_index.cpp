#include "tiling/rle4_index.h"

#include <algorithm>

#include "tiling/background_task.h"

namespace rle4 {
namespace {

// The codes the second half's walk notes from its start, for the first
// half's walk to meet it. A walk that starts inside an absolute run reads
// its pixels as codes, mostly two bytes long, so it falls in step at a code
// boundary within a few runs: this many codes leave room for many.
constexpr std::size_t kMeetingCodes = 256;

// A point of a walk, with the line ends the walk had passed there.
struct NotedPoint {
  StreamPoint at;
  std::int64_t lines;
};

// Points are noted each `spacing` rows up to `endRow`, so that there are
// never more than the image's rows allow.
struct Spacing {
  std::int64_t endRow, spacing;
};

// Walks from `at` to the end-of-bitmap code, or to where the stream ends,
// noting where the stored row first reaches each multiple of the spacing.
Decoded WalkNoting(ByteStream& in, StreamPoint& at, Spacing rows, NoPixels& walker,
                   std::vector<NotedPoint>& noted) {
  while (at.row < rows.endRow) {
    const Decoded decoded = Decode(in, at, (at.row / rows.spacing + 1) * rows.spacing, walker);
    if (decoded != Decoded::kReachedRow) return decoded;
    noted.push_back({at, walker.lines});
  }
  return Decode(in, at, INT64_MAX, walker);
}

// The walk of the stream's second half, on a thread of its own. It starts
// at an even offset in the middle, which may lie inside a code, and counts
// rows and line ends from there. Until it falls into step with the codes it
// may count rows that are not there, so it notes points for the image's
// rows from where it stands after its first codes.
struct SecondHalf {
  InFile* source;
  std::int64_t start;
  Spacing rows;
  std::vector<NotedPoint> firstCodes;  // where each of its first codes began
  std::vector<NotedPoint> noted;
  StreamPoint end = {};
  Decoded ended = Decoded::kReachedRow;

  static void Walk(void* half) {
    SecondHalf& second = *static_cast<SecondHalf*>(half);
    ByteStream in;
    in.Start(*second.source, second.start);
    StreamPoint at = {second.start, 0, 0};
    NoPixels walker;
    Decoded& ended = second.ended;
    for (std::size_t i = 0; i < kMeetingCodes && ended == Decoded::kReachedRow; ++i) {
      second.firstCodes.push_back({at, walker.lines});
      ended = Step(in, at, walker.lines);
    }
    if (ended == Decoded::kReachedRow) {
      const Spacing rows = {at.row + second.rows.endRow, second.rows.spacing};
      ended = WalkNoting(in, at, rows, walker, second.noted);
    }
    second.end = at;
  }
};

// Steps on from `at`, where the first half's walk stopped, one code at a
// time until it stands where the second half's walk once stood: from there
// on the walks are one, and the second half's points hold, its rows counted
// from here. Its points before its first line end after here are dropped,
// as their columns may count from a wrong start. When the walks do not
// meet, this one goes on alone.
Decoded Meet(ByteStream& in, StreamPoint& at, Spacing rows, NoPixels& walker,
             const SecondHalf& second, std::vector<NotedPoint>& noted) {
  const std::vector<NotedPoint>& codes = second.firstCodes;
  std::size_t i = 0;
  for (;;) {
    while (i < codes.size() && codes[i].at.offset < at.offset) ++i;
    if (i == codes.size()) return WalkNoting(in, at, rows, walker, noted);
    if (codes[i].at.offset == at.offset) break;
    const Decoded stepped = Step(in, at, walker.lines);
    if (stepped != Decoded::kReachedRow) return stepped;
  }
  const std::int64_t rowsBefore = at.row - codes[i].at.row;
  for (const NotedPoint& point : second.noted) {
    if (point.lines <= codes[i].lines) continue;
    noted.push_back({{point.at.offset, point.at.row + rowsBefore, point.at.x}, 0});
  }
  at = {second.end.offset, second.end.row + rowsBefore, second.end.x};
  return second.ended;
}

}  // namespace

const StreamPoint& StreamIndex::NearestBelow(std::int64_t row) const {
  const auto above = std::upper_bound(
      points.begin(), points.end(), row,
      [](std::int64_t wanted, const StreamPoint& point) { return wanted < point.row; });
  return *(above - 1);
}

SourceCheck IndexStream(InFile& source, std::int64_t streamOffset, std::int64_t rowCount,
                        std::int64_t spacing, std::int64_t splitFrom, StreamIndex& index) {
  std::int64_t middle = INT64_MAX;
  if (splitFrom != INT64_MAX) {
    FileStamp stamp;
    if (!source.Stamp(stamp)) return SourceCheck::kUnreadable;
    const std::int64_t length = static_cast<std::int64_t>(stamp.size) - streamOffset;
    if (length >= splitFrom) middle = streamOffset + (length / 2 & ~std::int64_t{1});
  }
  const Spacing rows = {rowCount, spacing};
  SecondHalf second = {&source, middle, rows, {}, {}};
  BackgroundTask task;
  if (middle != INT64_MAX) task.Start(&SecondHalf::Walk, &second);

  StreamPoint at = {streamOffset, 0, 0};
  std::vector<NotedPoint> noted = {{at, 0}};
  ByteStream in;
  in.Start(source, streamOffset, middle);
  NoPixels walker;
  Decoded ended = WalkNoting(in, at, rows, walker, noted);
  task.Wait();
  if (middle != INT64_MAX && ended == Decoded::kCutShort) {  // it stopped at the middle
    in.Start(source, at.offset);
    ended = Meet(in, at, rows, walker, second, noted);
  }
  if (ended == Decoded::kUnreadable) return SourceCheck::kUnreadable;
  if (ended != Decoded::kEndOfBitmap) return SourceCheck::kNotSixteenColours;

  index.points.clear();
  for (const NotedPoint& point : noted) index.points.push_back(point.at);
  index.endRow = at.row;
  return SourceCheck::kUsable;
}

}  // namespace rle4
