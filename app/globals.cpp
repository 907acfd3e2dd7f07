#include "app/globals.h"

std::string mapPath;
char sourcePath[kTextCapacity];
InFile sourceFile;
OutFile tileFile;
ImageHeader imageHeader;
std::int32_t left, top, right, bottom;
