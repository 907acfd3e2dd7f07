// Starts a program with an exact command line, as Explorer does with
// CreateProcessW; Wine's own launcher cannot (it rebuilds the command line
// from its arguments). The program comes from GRIDSAW_PROGRAM, the command
// line from GRIDSAW_COMMAND_LINE_HEX: its UTF-8 bytes in hexadecimal, so that
// no conversion of the environment touches it. The exit status is the
// program's.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::wstring Wide(const std::string& utf8) {
  const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::wstring wide(units, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], units);
  return wide;  // with its NUL: CreateProcessW may write into it
}

std::string FromHex(const char* hex) {
  std::string bytes;
  for (; hex[0] != '\0' && hex[1] != '\0'; hex += 2) {
    bytes += static_cast<char>(std::stoi(std::string(hex, 2), nullptr, 16));
  }
  return bytes;
}

}  // namespace

int main() {
  const char* program = std::getenv("GRIDSAW_PROGRAM");
  const char* commandLine = std::getenv("GRIDSAW_COMMAND_LINE_HEX");
  if (program == nullptr || commandLine == nullptr) {
    std::fprintf(stderr, "launch: set GRIDSAW_PROGRAM and GRIDSAW_COMMAND_LINE_HEX\n");
    return 2;
  }
  std::wstring application = Wide(program);
  std::wstring line = Wide(FromHex(commandLine));
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(application.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "launch: CreateProcessW failed: %lu\n", GetLastError());
    return 2;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 2;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}
