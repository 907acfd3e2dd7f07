// The operating-system calls behind InFile and OutFile, implemented once per
// platform (file_posix.cpp, file_win32.cpp), and the types they pass.
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
  bool operator==(const FileStamp& other) const = default;
};

// Every call below that takes a handle is never passed kNotOpen.

// An existing file for reading; others may read it meanwhile, not write it.
// kNotOpen on failure.
FileHandle OsOpenForReading(const char* path);
// Creates a file or empties an existing one, unless somebody holds it open.
// kNotOpen on failure.
FileHandle OsCreateForWriting(const char* path);
// Reads until `count` bytes or the end of the file; `got` tells how many came.
// False only on an I/O error.
bool OsRead(FileHandle handle, void* buffer, std::uint32_t count, std::uint32_t& got);
// True only when exactly `count` bytes moved.
bool OsWrite(FileHandle handle, const void* buffer, std::uint32_t count);
// Absolute; a negative distance fails and leaves the position where it was.
bool OsSetPosition(FileHandle handle, std::int64_t distance);
bool OsStamp(FileHandle handle, FileStamp& stamp);
// The handle is gone either way; false when the system reports an error.
bool OsClose(FileHandle handle);
bool OsRemove(const char* path);
