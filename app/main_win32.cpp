#include <windows.h>

#include "app/command_line.h"
#include "app/run.h"

namespace {

bool IsLeadByte(unsigned char c) {
  return IsDBCSLeadByte(c) != 0;
}

}  // namespace

// The tail is formed here from the whole command line rather than taken from
// the runtime's lpCmdLine, so that its rule is the program's own and tested.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return RunTiling(TailFromCommandLine(GetCommandLineA(), IsLeadByte).c_str());
}
