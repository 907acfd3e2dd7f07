#include "app/run.h"

#include "app/globals.h"
#include "app/messages.h"
#include "app/path_text.h"
#include "app/tile_grid.h"
#include "fileio/text.h"

namespace {

int Fail(const char* message) {
  ShowMessage(message, MessageKind::kError);
  return kFailureStatus;
}

}  // namespace

int RunTiling(const char* commandTail, const ReadSizes& sizes) {
  InFile mapFile;
  // A tail too long for any path names no map description.
  if (commandTail == nullptr || !CopyText(commandTail, mapPath, sizeof mapPath) ||
      !mapFile.Open(mapPath)) {
    return Fail(kCannotOpenMap);
  }

  TextReader mapText(mapFile);
  if (!mapText.Reserve(sizes.readBlock)) return Fail(kNotEnoughMemory);
  mapText.ReadByteOrderMark();
  char line[kPathBytes];
  // A path too long to be one is refused, never cut to name some other file.
  const bool whole = ReadWholeLine(mapText, line, sizeof line);
  if (mapText.failed()) return Fail(kCannotReadMap);
  if (!whole || !PathFromLine(line, mapText.utf16(), sourcePath) ||
      PathLength(sourcePath) > kMaxPathCharacters || !sourceFile.Open(sourcePath)) {
    return Fail(kCannotOpenSource);
  }
  // Others may not write the source while it is open here, but on Linux only
  // programs that take the same locks keep to that: its stamp shows the rest.
  FileStamp opened;
  if (!sourceFile.Stamp(opened)) return Fail(kCannotReadSource);
  // The region first: loading the source prepares the bands it covers.
  region = ReadRegion(mapText);
  if (mapText.failed()) return Fail(kCannotReadMap);
  switch (LoadSourceImage(sourceFile, sourceImage, BandsOf(region, sizes.bandCapacity), sizes)) {
    case SourceCheck::kUsable:
      break;
    case SourceCheck::kNotSixteenColours:
      return Fail(kNotSixteenColours);
    case SourceCheck::kUnreadable:
      return Fail(kCannotReadSource);
    case SourceCheck::kNoMemory:
      return Fail(kNotEnoughMemory);
  }

  // The stem: everything before the path's last '.', also one in a folder name.
  SplitAtLast(sourcePath, '.', sourcePath, sizeof sourcePath, nullptr, 0);

  const char* failure = CutTileGrid(sourceImage, sourceFile, tileFile, region, sourcePath, sizes);
  if (failure != nullptr) return Fail(failure);
  FileStamp finished;
  if (!sourceFile.Stamp(finished) || finished != opened) return Fail(kCannotReadSource);

  sourceFile.Close();
  mapFile.Close();
  ShowMessage(kConverted, MessageKind::kInformation);
  return kSuccessStatus;
}
