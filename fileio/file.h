// The program's two file classes: one operating-system handle each, with
// all-or-nothing transfers. Each platform supplies the operating-system
// calls behind them in its own file (os_file.h); nothing else sees one.
#pragma once

#include <cstdint>

// A handle as an integer wide enough for both a POSIX descriptor and a Win32
// HANDLE. -1 is "not open" on both: it is INVALID_HANDLE_VALUE on Windows.
using FileHandle = std::intptr_t;
constexpr FileHandle kNotOpen = -1;

// What shows that a file was changed: which file it is, its size and the
// time it was last written.
struct FileStamp {
  std::uint64_t volume = 0, id = 0, size = 0, modified = 0;
  bool operator==(const FileStamp& other) const {
    return volume == other.volume && id == other.id && size == other.size &&
           modified == other.modified;
  }
  bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

// Opens an existing file for reading. While it is open, others may read the
// file but not write it.
class InFile {
 public:
  InFile() = default;
  explicit InFile(const char* path) { Open(path); }
  ~InFile() { Close(); }
  InFile(const InFile&) = delete;
  InFile& operator=(const InFile&) = delete;

  bool Open(const char* path);
  // Safe to call any number of times, also after a failed Open.
  void Close();
  // True only when exactly `count` bytes arrived; what did arrive is in the buffer.
  bool Read(void* buffer, std::uint32_t count);
  // Reads up to `count` bytes; `got` < `count` only at the end of the file.
  // False only on an I/O error, which the end of the file is not.
  bool ReadUpTo(void* buffer, std::uint32_t count, std::uint32_t& got);
  // ReadUpTo from `offset` on, whatever the position, which it may move
  // (Windows does); two threads may read one file this way at once.
  // Recorded as a read by the tests' fault seam.
  bool ReadAt(std::int64_t offset, void* buffer, std::uint32_t count, std::uint32_t& got);
  // Absolute position from the start of the file. A negative distance fails
  // and leaves the position where it was.
  bool SetPosition(std::int64_t distance);
  // The open file's stamp as it is now; false when the system cannot tell.
  bool Stamp(FileStamp& stamp);
  bool IsOpen() const { return handle != kNotOpen; }

  FileHandle handle = kNotOpen;
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

  bool Open(const char* path);
  // Safe to call any number of times. False when the system reports that the
  // file could not be completed (data not written back); the handle is gone
  // either way.
  bool Close();
  // True only when exactly `count` bytes were written.
  bool Write(const void* buffer, std::uint32_t count);
  bool SetPosition(std::int64_t distance);
  bool IsOpen() const { return handle != kNotOpen; }

  FileHandle handle = kNotOpen;
};

// Deletes a file; used to take back a tile that could not be finished.
bool RemoveFile(const char* path);
