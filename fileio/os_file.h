// The operating-system calls behind InFile and OutFile, implemented once per
// platform (file_posix.cpp, file_win32.cpp). Every call takes or returns a
// handle; kNotOpen is never passed in.
#pragma once

#include <cstdint>

#include "fileio/file.h"

// An existing file for reading; others may read it meanwhile, not write it.
// kNotOpen on failure.
FileHandle OsOpenForReading(const char* path);
// Creates a file or empties an existing one, unless somebody holds it open.
// kNotOpen on failure.
FileHandle OsCreateForWriting(const char* path);
// Reads until `count` bytes or the end of the file; `got` tells how many came.
// False only on an I/O error.
bool OsRead(FileHandle handle, void* buffer, std::uint32_t count, std::uint32_t& got);
// The same from an absolute position, so that two threads may read one file
// at once; the handle's own position may move.
bool OsReadAt(FileHandle handle, std::int64_t offset, void* buffer, std::uint32_t count,
              std::uint32_t& got);
// True only when exactly `count` bytes moved.
bool OsWrite(FileHandle handle, const void* buffer, std::uint32_t count);
// Absolute; a negative distance fails and leaves the position where it was.
bool OsSetPosition(FileHandle handle, std::int64_t distance);
bool OsStamp(FileHandle handle, FileStamp& stamp);
// The handle is gone either way; false when the system reports an error.
bool OsClose(FileHandle handle);
