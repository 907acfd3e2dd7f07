// Reading the lines of a text file and cutting fields out of a line.
#pragma once

#include <cstddef>

#include "fileio/file.h"

// Reads one line into `line` (capacity `size` bytes, NUL included). Lines may
// end in CR LF, LF or CR. A line longer than the buffer is consumed whole and
// cut to size - 1 characters; `wasCut`, when given, tells whether that
// happened. True when the line ended in CR or LF, false at the end of the file.
bool ReadLine(InFile& file, char* line, std::size_t size, bool* wasCut = nullptr);

// Splits `text` at the first (SplitAtFirst) or last (SplitAtLast) occurrence of
// `separator`: the part before it goes to `head`, the part after it to `tail`;
// the separator goes to neither. Without the separator the whole text is the
// head and the tail is empty. Either output may be null (then its size is
// ignored), and either may be the very buffer that holds `text`. Outputs are
// cut to fit their capacity.
void SplitAtFirst(const char* text, char separator, char* head, std::size_t headSize, char* tail,
                  std::size_t tailSize);
void SplitAtLast(const char* text, char separator, char* head, std::size_t headSize, char* tail,
                 std::size_t tailSize);
