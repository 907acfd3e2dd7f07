// The Win32 file API. The share mode FILE_SHARE_READ lets others read a file
// while it is open here, never write it.
#include <windows.h>

#include "fileio/os_file.h"

namespace {

static_assert(kNotOpen == static_cast<FileHandle>(-1), "INVALID_HANDLE_VALUE is all bits set");

HANDLE AsHandle(FileHandle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

FileHandle Create(const char* path, DWORD access, DWORD disposition) {
  return reinterpret_cast<FileHandle>(
      CreateFileA(path, access, FILE_SHARE_READ, nullptr, disposition, 0, nullptr));
}

}  // namespace

FileHandle OsOpenForReading(const char* path) {
  return Create(path, GENERIC_READ, OPEN_EXISTING);
}

FileHandle OsCreateForWriting(const char* path) {
  return Create(path, GENERIC_WRITE, CREATE_ALWAYS);
}

bool OsRead(FileHandle handle, void* buffer, std::uint32_t count) {
  DWORD got = 0;
  return ReadFile(AsHandle(handle), buffer, count, &got, nullptr) && got == count;
}

bool OsWrite(FileHandle handle, const void* buffer, std::uint32_t count) {
  DWORD put = 0;
  return WriteFile(AsHandle(handle), buffer, count, &put, nullptr) && put == count;
}

// A negative distance fails in SetFilePointer itself and leaves the position.
bool OsSetPosition(FileHandle handle, std::int32_t distance) {
  const DWORD position = SetFilePointer(AsHandle(handle), distance, nullptr, FILE_BEGIN);
  return position != INVALID_SET_FILE_POINTER && position == static_cast<DWORD>(distance);
}

bool OsClose(FileHandle handle) {
  return CloseHandle(AsHandle(handle)) != 0;
}

bool RemoveFile(const char* path) {
  return DeleteFileA(path) != 0;
}
