// The Win32 file API, through its wide calls: paths arrive in UTF-8 and are
// opened exactly as named, character for character. The share mode
// FILE_SHARE_READ lets others read a file while it is open here, never write
// it.
#include <windows.h>

#include "fileio/os_file.h"
#include "fileio/wide_win32.h"

namespace {

static_assert(kNotOpen == static_cast<FileHandle>(-1), "INVALID_HANDLE_VALUE is all bits set");

HANDLE AsHandle(FileHandle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

HANDLE Create(const char* path, DWORD access, DWORD disposition) {
  WideText wide;
  if (!WideFromWtf8(path, wide) || wide[0] == L'\0') return INVALID_HANDLE_VALUE;
  return CreateFileW(wide, access, FILE_SHARE_READ, nullptr, disposition, 0, nullptr);
}

}  // namespace

// Only a disk file: a device (COM1, AUX, CON, NUL) or a pipe could block a
// read for ever, as the Linux program refuses all but regular files.
FileHandle OsOpenForReading(const char* path) {
  const HANDLE handle = Create(path, GENERIC_READ, OPEN_EXISTING);
  if (handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    return kNotOpen;
  }
  return reinterpret_cast<FileHandle>(handle);
}

FileHandle OsCreateForWriting(const char* path) {
  return reinterpret_cast<FileHandle>(Create(path, GENERIC_WRITE, CREATE_ALWAYS));
}

// A disk file's ReadFile delivers the whole count unless the end of the file
// comes first, where it succeeds with fewer bytes.
bool OsRead(FileHandle handle, void* buffer, std::uint32_t count, std::uint32_t& got) {
  DWORD arrived = 0;
  const bool read = ReadFile(AsHandle(handle), buffer, count, &arrived, nullptr) != 0;
  got = arrived;
  return read;
}

bool OsWrite(FileHandle handle, const void* buffer, std::uint32_t count) {
  DWORD put = 0;
  return WriteFile(AsHandle(handle), buffer, count, &put, nullptr) && put == count;
}

// A negative distance fails in SetFilePointerEx itself and leaves the position.
bool OsSetPosition(FileHandle handle, std::int64_t distance) {
  LARGE_INTEGER to, now;
  to.QuadPart = distance;
  return SetFilePointerEx(AsHandle(handle), to, &now, FILE_BEGIN) && now.QuadPart == distance;
}

bool OsStamp(FileHandle handle, FileStamp& stamp) {
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(AsHandle(handle), &information)) return false;
  auto wide = [](DWORD high, DWORD low) { return std::uint64_t{high} << 32 | low; };
  stamp.volume = information.dwVolumeSerialNumber;
  stamp.id = wide(information.nFileIndexHigh, information.nFileIndexLow);
  stamp.size = wide(information.nFileSizeHigh, information.nFileSizeLow);
  stamp.modified =
      wide(information.ftLastWriteTime.dwHighDateTime, information.ftLastWriteTime.dwLowDateTime);
  return true;
}

bool OsClose(FileHandle handle) {
  return CloseHandle(AsHandle(handle)) != 0;
}

bool OsRemove(const char* path) {
  WideText wide;
  return WideFromWtf8(path, wide) && wide[0] != L'\0' && DeleteFileW(wide) != 0;
}
