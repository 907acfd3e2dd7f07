// Forming the command-line tail: the map description's path.
#pragma once

#include <cstddef>

// The arguments after the program's name joined with single spaces, so that a
// path with spaces works quoted or not, into `tail` (room for `size` bytes).
// False when they do not fit.
bool TailFromArguments(int argc, const char* const* argv, char* tail, std::size_t size);

// The tail of a whole Windows command line, in UTF-16 as GetCommandLineW
// gives it: skip the program's name (quoted up to and including the closing
// quote, or the whole line when the closing quote is missing; otherwise
// every character above space), then every character from 1 to 32; the rest
// is the tail, verbatim, but for two mends. Blanks (characters from 1 to 32)
// at its end go, as those at its start do. And when the tail begins with a
// double quote whose closing quote is its last character, that pair is
// removed, as Explorer quotes a dropped file whose path holds a space
// (Windows file names never contain a double quote). Into `tail` (room for
// `size` units); false when it does not fit.
bool TailFromCommandLine(const char16_t* commandLine, char16_t* tail, std::size_t size);
