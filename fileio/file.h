// The program's two file classes: one operating-system handle each, with
// all-or-nothing transfers. Each platform supplies the operating-system
// calls behind them in its own file (os_file.h); only the classes use them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "fileio/os_file.h"

// Paths and tile names are at most 255 characters.
constexpr std::size_t kMaxPathCharacters = 255;
// Room for a path of that many characters in WTF-8, four bytes a character,
// and its NUL: every text of the run, and every path it names, fits it.
constexpr std::size_t kPathBytes = 4 * kMaxPathCharacters + 4;

// Opens an existing file for reading. While it is open, others may read the
// file but not write it.
class InFile {
 public:
  InFile() = default;
  explicit InFile(const char* path) { Open(path); }
  ~InFile() { Close(); }
  InFile(const InFile&) = delete;
  InFile& operator=(const InFile&) = delete;

  // Closes what the object held open before.
  bool Open(const char* path);
  // Safe to call any number of times, also after a failed Open.
  void Close();
  // True only when exactly `count` bytes arrived; what did arrive is in the buffer.
  bool Read(void* buffer, std::uint32_t count);
  // Reads up to `count` bytes; `got` < `count` only at the end of the file.
  // False only on an I/O error, which the end of the file is not.
  bool ReadUpTo(void* buffer, std::uint32_t count, std::uint32_t& got);
  // Absolute position from the start of the file. A negative distance fails
  // and leaves the position where it was.
  bool SetPosition(std::int64_t distance);
  // Where the next read starts, as the calls since Open left it; -1 when a
  // failed call leaves it unknown.
  std::int64_t Position() const { return position_; }
  // The open file's stamp as it is now; false when the system cannot tell.
  bool Stamp(FileStamp& stamp);
  bool IsOpen() const { return handle_ != kNotOpen; }

 private:
  FileHandle handle_ = kNotOpen;
  std::int64_t position_ = -1;
};

// Creates a file, or empties an existing one, for writing. While it is open,
// others may read the file but not write it; a file that somebody holds open
// is refused rather than emptied.
class OutFile {
 public:
  OutFile() = default;
  explicit OutFile(const char* path) { Open(path); }
  ~OutFile() { Close(); }
  OutFile(const OutFile&) = delete;
  OutFile& operator=(const OutFile&) = delete;

  // Closes what the object held open before; its outcome is then lost.
  bool Open(const char* path);
  // Safe to call any number of times. False when the system reports that the
  // file could not be completed (data not written back); the handle is gone
  // either way.
  bool Close();
  // True only when exactly `count` bytes were written.
  bool Write(const void* buffer, std::uint32_t count);
  bool SetPosition(std::int64_t distance);
  bool IsOpen() const { return handle_ != kNotOpen; }

 private:
  FileHandle handle_ = kNotOpen;
};

// Deletes a file; used to take back a tile that could not be finished.
bool RemoveFile(const char* path);
