// The whole run: read the map description named by the command-line tail,
// cut every tile of its region out of the source bitmap, tell the user.
#pragma once

#include "tiling/read_sizes.h"

constexpr int kSuccessStatus = 123;
constexpr int kFailureStatus = 0;

// Returns the process's exit status. A null tail is one too long to be a
// path. The program reads with the default sizes; tests set them small.
int RunTiling(const char* commandTail, const ReadSizes& sizes = {});
