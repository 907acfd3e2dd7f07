// Reading the lines of a text file and cutting fields out of a line.
#pragma once

#include <cstddef>

#include "fileio/file.h"

// A text file read in blocks, handed out byte by byte for ReadLine as 8-bit
// text: as it is, or, for UTF-16 text, as its WTF-8 (fileio/wtf8.h). An I/O
// error ends the text as the end of the file does; failed() tells the two
// apart.
class TextReader {
 public:
  explicit TextReader(InFile& file) : file_(file) {}
  TextReader(const TextReader&) = delete;
  TextReader& operator=(const TextReader&) = delete;

  // Reads a byte-order mark at the very start of the file: UTF-8's (EF BB
  // BF) is skipped; UTF-16's, little-endian (FF FE) or big-endian (FE FF),
  // makes the rest UTF-16 text, whose characters are handed out in WTF-8.
  void ReadByteOrderMark();
  bool Next(char& c) {
    if (at_ == end_ && !Fill()) return false;
    c = text_[at_++];
    return true;
  }
  bool failed() const { return failed_; }
  // Whether the file is UTF-16 text.
  bool utf16() const { return utf16_; }

 private:
  bool Fill();
  bool ReadBytes();
  bool NextUnit(char16_t& unit);

  static constexpr std::size_t kBlockSize = 4096;
  InFile& file_;
  unsigned char bytes_[kBlockSize];  // as the file holds them
  std::size_t bytesAt_ = 0, bytesEnd_ = 0;
  char text_[kBlockSize];  // as they are handed out
  std::size_t at_ = 0, end_ = 0;
  bool utf16_ = false, bigEndian_ = false, ended_ = false, failed_ = false;
};

// What ReadLine does with a line longer than its buffer: it is cut to size - 1
// characters either way, and either consumed whole, so that the next line is
// the next one, or left where the buffer filled up, for a caller that will
// read no further.
enum class LongLine { kConsume, kStop };

// What ReadLine found in a line beside its text.
struct LineFacts {
  bool cut = false;      // it was longer than the buffer
  bool heldNul = false;  // a NUL byte, which ends the line as a string, came before its end
};

// Reads one line into `line` (capacity `size` bytes, NUL included). Lines may
// end in CR LF, LF or CR. True when the line ended in CR or LF, false at the
// end of the file (or on an error: see TextReader::failed).
bool ReadLine(TextReader& text, char* line, std::size_t size, LineFacts* facts = nullptr,
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
