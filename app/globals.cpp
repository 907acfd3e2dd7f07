#include "app/globals.h"

char mapPath[kPathBytes];
char sourcePath[kPathBytes];
InFile sourceFile;
OutFile tileFile;
SourceImage sourceImage;
Region region;
