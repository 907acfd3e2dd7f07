// Paths as the program keeps them: UTF-8 text on both platforms. Each
// platform says how a map description's line becomes such a path and how
// long a path is (path_text_posix.cpp, path_text_win32.cpp).
#pragma once

#include <cstddef>
#include <string>

// Paths and tile names are at most 255 characters.
constexpr std::size_t kMaxPathCharacters = 255;
// Room for the longest path in UTF-8, four bytes a character, and its NUL.
constexpr std::size_t kPathBytes = 4 * kMaxPathCharacters + 4;

// Line 1 of a map description as a path. Windows: the line as it is when it
// is valid UTF-8 with a byte above 127, otherwise the ANSI code page's text,
// converted as CreateFileA would convert it. Linux: the line as it is.
std::string PathFromLine(const char* line);

// A path's length as its file system counts it: characters on Windows,
// bytes on Linux.
std::size_t PathLength(const char* path);

// Whether `text` is well-formed UTF-8 (no overlong forms, surrogates or
// values past U+10FFFF) holding at least one byte above 127.
bool IsUtf8WithHighBytes(const char* text);
