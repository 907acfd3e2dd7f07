#include "app/command_line.h"
#include "app/interruptions.h"
#include "app/run.h"

int main(int argc, char** argv) {
  IgnoreBrokenPipesAndFileSizeLimits();
  return RunTiling(TailFromArguments(argc, argv).c_str());
}
