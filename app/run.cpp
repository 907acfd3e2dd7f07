#include "app/run.h"

#include <cstdio>

#include "app/globals.h"
#include "app/messages.h"
#include "fileio/text.h"
#include "tiling/extract_tile.h"

namespace {

constexpr std::int32_t kTileStep = 300;
constexpr std::int32_t kTileSize = 300;  // requested; written tiles are 304 wide
constexpr const char* kTileNameFormat = "%s tile %i,%i.bmp";

constexpr const char* kCannotOpenMap = "Error: cannot open .map file!";
constexpr const char* kCannotOpenSource = "Error: cannot open source bitmap!";
constexpr const char* kNotSixteenColours = "Error: source bitmap is not a 16-colour BMP!";
constexpr const char* kCannotReadSource = "Error: cannot read source bitmap!";
constexpr const char* kCannotOpenTile = "Error: cannot open output bitmap!";
constexpr const char* kCannotWriteTile = "Error: cannot write output bitmap!";
constexpr const char* kConverted = "Map has been converted to tiles.";

int Fail(const char* message) {
  ShowMessage(message, MessageKind::kError);
  return kFailureStatus;
}

// False when the name would not fit: a cut name would be some other file.
bool FormatTileName(char (&name)[kTextCapacity], int column, int row) {
  const int length = std::snprintf(name, sizeof name, kTileNameFormat, sourcePath, column, row);
  return length >= 0 && static_cast<std::size_t>(length) < sizeof name;
}

// Creates, fills and closes one tile; an unfinished tile is removed again.
// Returns the error message, or null.
const char* CutTile(int column, int row, std::int32_t x, std::int32_t y) {
  char name[kTextCapacity];
  if (!FormatTileName(name, column, row) || !tileFile.Open(name)) return kCannotOpenTile;
  const TileResult result =
      ExtractTile(imageHeader, sourceFile, tileFile, x, y, kTileSize, kTileSize);
  const bool closed = tileFile.Close();
  if (result == TileResult::kWritten && closed) return nullptr;
  RemoveFile(name);
  return result == TileResult::kSourceUnreadable ? kCannotReadSource : kCannotWriteTile;
}

// Rows outer, columns inner. The corners are stepped in 64 bits, so a region
// reaching up to 2^31 - 1 ends its loops instead of wrapping.
const char* CutTileGrid() {
  int row = 0;
  for (std::int64_t y = top; y < bottom; y += kTileStep, ++row) {
    int column = 0;
    for (std::int64_t x = left; x < right; x += kTileStep, ++column) {
      const char* failure =
          CutTile(column, row, static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
      if (failure != nullptr) return failure;
    }
  }
  return nullptr;
}

}  // namespace

int RunTiling(const char* commandTail) {
  mapPath = commandTail;
  InFile mapFile;
  if (!mapFile.Open(mapPath.c_str())) return Fail(kCannotOpenMap);

  bool pathCut = false;
  ReadLine(mapFile, sourcePath, sizeof sourcePath, &pathCut);
  // A cut path would name some other file.
  if (pathCut || !sourceFile.Open(sourcePath)) return Fail(kCannotOpenSource);
  if (!LoadImageHeader(sourceFile, imageHeader)) return Fail(kNotSixteenColours);

  const Region region = ReadRegion(mapFile);
  left = region.left;
  top = region.top;
  right = region.right;
  bottom = region.bottom;

  // The stem: everything before the path's last '.', also one in a folder name.
  SplitAtLast(sourcePath, '.', sourcePath, sizeof sourcePath, nullptr, 0);

  const char* failure = CutTileGrid();
  if (failure != nullptr) return Fail(failure);

  sourceFile.Close();
  mapFile.Close();
  ShowMessage(kConverted, MessageKind::kInformation);
  return kSuccessStatus;
}
