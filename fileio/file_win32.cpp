// The file classes over the Win32 file API. The share mode FILE_SHARE_READ
// lets others read a file while it is open here, never write it.
#include <windows.h>

#include "fileio/fault_injection.h"
#include "fileio/file.h"

namespace {

HANDLE AsHandle(FileHandle handle) {
  return reinterpret_cast<HANDLE>(handle);
}
FileHandle FromHandle(HANDLE handle) {
  return reinterpret_cast<FileHandle>(handle);
}

static_assert(kNotOpen == static_cast<FileHandle>(-1), "INVALID_HANDLE_VALUE is all bits set");

FileHandle Create(const char* path, DWORD access, DWORD disposition) {
  return FromHandle(CreateFileA(path, access, FILE_SHARE_READ, nullptr, disposition, 0, nullptr));
}

bool CloseFileHandle(FileHandle& handle) {
  if (handle == kNotOpen) return true;
  const bool closed = CloseHandle(AsHandle(handle)) != 0;
  handle = kNotOpen;
  return closed;
}

// A negative distance fails in SetFilePointer itself and leaves the position.
bool SetHandlePosition(FileHandle handle, std::int32_t distance) {
  if (handle == kNotOpen) return false;
  const DWORD position = SetFilePointer(AsHandle(handle), distance, nullptr, FILE_BEGIN);
  return position != INVALID_SET_FILE_POINTER && position == static_cast<DWORD>(distance);
}

}  // namespace

bool InFile::Open(const char* path) {
  if (InjectedFailure(FileCall::kOpen, this)) return false;
  handle = Create(path, GENERIC_READ, OPEN_EXISTING);
  return handle != kNotOpen;
}

// A failed close loses nothing that was read, so its outcome is not reported.
void InFile::Close() {
  if (handle != kNotOpen) InjectedFailure(FileCall::kClose, this);
  CloseFileHandle(handle);
}

bool InFile::Read(void* buffer, std::uint32_t count) {
  if (handle == kNotOpen || InjectedFailure(FileCall::kRead, this)) return false;
  DWORD got = 0;
  return ReadFile(AsHandle(handle), buffer, count, &got, nullptr) && got == count;
}

bool InFile::SetPosition(std::int32_t distance) {
  return !InjectedFailure(FileCall::kSetPosition, this) && SetHandlePosition(handle, distance);
}

bool OutFile::Open(const char* path) {
  if (InjectedFailure(FileCall::kOpen, this)) return false;
  handle = Create(path, GENERIC_WRITE, CREATE_ALWAYS);
  return handle != kNotOpen;
}

bool OutFile::Close() {
  const bool injected = handle != kNotOpen && InjectedFailure(FileCall::kClose, this);
  return CloseFileHandle(handle) && !injected;
}

bool OutFile::Write(const void* buffer, std::uint32_t count) {
  if (handle == kNotOpen || InjectedFailure(FileCall::kWrite, this)) return false;
  DWORD put = 0;
  return WriteFile(AsHandle(handle), buffer, count, &put, nullptr) && put == count;
}

bool OutFile::SetPosition(std::int32_t distance) {
  return !InjectedFailure(FileCall::kSetPosition, this) && SetHandlePosition(handle, distance);
}

bool RemoveFile(const char* path) {
  return DeleteFileA(path) != 0;
}
