// Reading the lines of a text file and cutting fields out of a line.
#pragma once

#include <cstddef>

#include "fileio/file.h"

// A text file read in blocks, byte by byte for ReadLine. An I/O error ends
// the text as the end of the file does; failed() tells the two apart.
class TextReader {
 public:
  explicit TextReader(InFile& file) : file_(file) {}
  TextReader(const TextReader&) = delete;
  TextReader& operator=(const TextReader&) = delete;

  // Skips a UTF-8 byte-order mark (EF BB BF) at the very start of the file.
  void SkipByteOrderMark();
  bool Next(char& c) {
    if (at_ == end_ && !Fill()) return false;
    c = block_[at_++];
    return true;
  }
  bool failed() const { return failed_; }

 private:
  bool Fill();

  static constexpr std::size_t kBlockSize = 4096;
  InFile& file_;
  char block_[kBlockSize];
  std::size_t at_ = 0, end_ = 0;
  bool ended_ = false, failed_ = false;
};

// What ReadLine does with a line longer than its buffer: it is cut to size - 1
// characters either way, and either consumed whole, so that the next line is
// the next one, or left where the buffer filled up, for a caller that will
// read no further.
enum class LongLine { kConsume, kStop };

// Reads one line into `line` (capacity `size` bytes, NUL included). Lines may
// end in CR LF, LF or CR. `wasCut`, when given, tells whether the line was
// longer than the buffer. True when the line ended in CR or LF, false at the
// end of the file (or on an error: see TextReader::failed).
bool ReadLine(TextReader& text, char* line, std::size_t size, bool* wasCut = nullptr,
              LongLine longLine = LongLine::kConsume);

// Copies the NUL-terminated `text` into `out` (room for `size` bytes); false,
// with `out` left as it was, when it does not fit.
bool CopyText(const char* text, char* out, std::size_t size);
// Appends `text` to the `length` bytes of text in `out`; false, with `out`
// left as it was, when it does not fit.
bool AppendText(const char* text, char* out, std::size_t size, std::size_t& length);

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
