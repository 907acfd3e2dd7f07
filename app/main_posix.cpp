#include <cstdio>

#include "app/command_line.h"
#include "app/interruptions.h"
#include "app/run.h"
#include "fileio/file.h"

int main(int argc, char** argv) {
  IgnoreBrokenPipesAndFileSizeLimits();
  char tail[kPathBytes];
  const bool fits = TailFromArguments(argc, argv, tail, sizeof tail);
  const int status = RunTiling(fits ? tail : nullptr);
  if (fits && tail[0] == '\0') std::fputs("usage: gridsaw MAP-DESCRIPTION\n", stderr);
  return status;
}
