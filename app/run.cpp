#include "app/run.h"

#include "app/globals.h"
#include "app/messages.h"
#include "app/tile_grid.h"
#include "fileio/text.h"

namespace {

int Fail(const char* message) {
  ShowMessage(message, MessageKind::kError);
  return kFailureStatus;
}

}  // namespace

int RunTiling(const char* commandTail) {
  mapPath = commandTail;
  InFile mapFile;
  if (!mapFile.Open(mapPath.c_str())) return Fail(kCannotOpenMap);

  TextReader mapText(mapFile);
  mapText.SkipByteOrderMark();
  bool pathCut = false;
  // A cut path would name some other file, so reading stops there.
  ReadLine(mapText, sourcePath, sizeof sourcePath, &pathCut, LongLine::kStop);
  if (mapText.failed()) return Fail(kCannotReadMap);
  if (pathCut || !sourceFile.Open(sourcePath)) return Fail(kCannotOpenSource);
  switch (LoadSourceImage(sourceFile, sourceImage)) {
    case SourceCheck::kUsable:
      break;
    case SourceCheck::kNotSixteenColours:
      return Fail(kNotSixteenColours);
    case SourceCheck::kUnreadable:
      return Fail(kCannotReadSource);
  }

  region = ReadRegion(mapText);
  if (mapText.failed()) return Fail(kCannotReadMap);

  // The stem: everything before the path's last '.', also one in a folder name.
  SplitAtLast(sourcePath, '.', sourcePath, sizeof sourcePath, nullptr, 0);

  const char* failure = CutTileGrid(sourceImage, sourceFile, tileFile, region, sourcePath);
  if (failure != nullptr) return Fail(failure);

  sourceFile.Close();
  mapFile.Close();
  ShowMessage(kConverted, MessageKind::kInformation);
  return kSuccessStatus;
}
