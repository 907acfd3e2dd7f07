#include <cstdio>
#include <string>

#include "app/command_line.h"
#include "app/interruptions.h"
#include "app/run.h"

int main(int argc, char** argv) {
  IgnoreBrokenPipesAndFileSizeLimits();
  const std::string tail = TailFromArguments(argc, argv);
  const int status = RunTiling(tail.c_str());
  if (tail.empty()) std::fputs("usage: gridsaw MAP-DESCRIPTION\n", stderr);
  return status;
}
