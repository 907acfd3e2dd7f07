#include "app/globals.h"

std::string mapPath;
char sourcePath[kPathBytes];
InFile sourceFile;
OutFile tileFile;
SourceImage sourceImage;
Region region;
