// Starts a program with an exact command line, which Wine's own launcher
// cannot do (it rebuilds the command line from its arguments). The program
// comes from GRIDSAW_PROGRAM, the command line from GRIDSAW_COMMAND_LINE; the
// exit status is the program's.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main() {
  const char* program = std::getenv("GRIDSAW_PROGRAM");
  const char* commandLine = std::getenv("GRIDSAW_COMMAND_LINE");
  if (program == nullptr || commandLine == nullptr) {
    std::fprintf(stderr, "launch: set GRIDSAW_PROGRAM and GRIDSAW_COMMAND_LINE\n");
    return 2;
  }
  std::string line = commandLine;  // CreateProcessA may write into it
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(program, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    std::fprintf(stderr, "launch: CreateProcessA failed: %lu\n", GetLastError());
    return 2;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 2;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}
