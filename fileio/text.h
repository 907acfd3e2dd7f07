// Reading the lines of a text file and cutting fields out of a line.
#pragma once

#include <cstddef>
#include <cstdint>

#include "fileio/block_reader.h"
#include "fileio/file.h"

// A text file handed out byte by byte for ReadLine as 8-bit text: as it is,
// or, for UTF-16 text, as its WTF-8 (fileio/wtf8.h), a character at a time.
// The file is read in blocks. An I/O error ends the text as the end of the
// file does; failed() tells the two apart.
class TextReader {
 public:
  explicit TextReader(InFile& file) : file_(file) {}
  TextReader(const TextReader&) = delete;
  TextReader& operator=(const TextReader&) = delete;

  // Takes the room for blocks of `blockBytes`. False when memory runs out.
  bool Reserve(std::size_t blockBytes);
  // Reads a byte-order mark at the very start of the file: UTF-8's (EF BB
  // BF) is skipped; UTF-16's, little-endian (FF FE) or big-endian (FE FF),
  // makes the rest UTF-16 text, whose characters are handed out in WTF-8.
  void ReadByteOrderMark();
  bool Next(char& c) {
    if (pendingAt_ == pendingEnd_ && !TakeCharacter()) return false;
    c = pending_[pendingAt_++];
    return true;
  }
  bool failed() const { return failed_; }
  // Whether the file is UTF-16 text.
  bool utf16() const { return utf16_; }

 private:
  bool Fetch(std::size_t count, ByteSpan& bytes);
  bool TakeCharacter();

  InFile& file_;
  BlockReader blocks_;
  std::int64_t offset_ = 0;  // of the next byte of the file to take
  char pending_[4];          // the bytes of the character being handed out
  int pendingAt_ = 0, pendingEnd_ = 0;
  bool utf16_ = false, bigEndian_ = false, failed_ = false;
};

// Reads one line into `line` (capacity `size` bytes, NUL included), cut to
// size - 1 characters when it is longer, and read to its end either way, so
// that the next line is the next one. Lines may end in CR LF, LF or CR. True
// when the line ended in CR or LF, false at the end of the file (or on an
// error: see TextReader::failed).
bool ReadLine(TextReader& text, char* line, std::size_t size);
// Reads one line that must come whole, as a path must: false when it does
// not fit or holds a NUL, either of which would name some other file.
// Reading then stops where the line did not fit.
bool ReadWholeLine(TextReader& text, char* line, std::size_t size);

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
