#include "app/globals.h"

std::string mapPath;
char sourcePath[kTextCapacity];
InFile sourceFile;
OutFile tileFile;
SourceImage sourceImage;
Region region;
