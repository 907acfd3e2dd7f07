#include <csignal>

#include "app/command_line.h"
#include "app/run.h"

int main(int argc, char** argv) {
  // A file-size limit must show up as a failed write, not end the process.
  std::signal(SIGXFSZ, SIG_IGN);
  return RunTiling(TailFromArguments(argc, argv).c_str());
}
