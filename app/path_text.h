// Paths as the program keeps them: UTF-8 text on both platforms. Each
// platform says how a map description's line becomes such a path and how
// long a path is (path_text_posix.cpp, path_text_win32.cpp).
#pragma once

#include <cstddef>

#include "fileio/file.h"

// Line 1 of a map description as a path, into `path`. From a UTF-16 file
// (`fromUtf16`), the line is WTF-8: Windows takes it as it is, every UTF-16
// name opening exactly; Linux takes it when it is UTF-8, which a lone
// surrogate is not. From an 8-bit file, Windows takes the line as it is when
// it is valid UTF-8 with a byte above 127, and otherwise converts the ANSI
// code page's text as CreateFileA would; Linux takes it as it is. False when
// the line names no path, or the path does not fit.
bool PathFromLine(const char* line, bool fromUtf16, char (&path)[kPathBytes]);

// A path's length as its file system counts it: characters on Windows,
// bytes on Linux. More than any path may have when it is no path at all.
std::size_t PathLength(const char* path);

// Whether `text` is well-formed UTF-8 (no overlong forms, surrogates or
// values past U+10FFFF); the second, holding at least one byte above 127.
bool IsUtf8(const char* text);
bool IsUtf8WithHighBytes(const char* text);
