// Forming the command-line tail: the map description's path.
#pragma once

#include <string>

// The arguments after the program's name joined with single spaces, so that a
// path with spaces works quoted or not.
std::string TailFromArguments(int argc, const char* const* argv);
