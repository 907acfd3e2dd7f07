// The program-wide state of a run: one instance each, alive for the whole
// process. The two files are constructed source first, so the tile is closed
// first when the process ends.
#pragma once

#include <cstdint>

#include "app/map_description.h"
#include "app/path_text.h"
#include "fileio/file.h"
#include "tiling/source_image.h"

extern char mapPath[kPathBytes];     // the command-line tail, verbatim
extern char sourcePath[kPathBytes];  // line 1 of the map description, later its stem
extern InFile sourceFile;
extern OutFile tileFile;
extern SourceImage sourceImage;  // the source's header in its plain form, and its rows
extern Region region;            // left, top, right, bottom, in source pixels
