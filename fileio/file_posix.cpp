// POSIX file calls standing in for the Win32 ones: flock gives the share
// modes between the program's own files (readers share, a writer excludes
// everybody), and the exact-length loops give ReadFile/WriteFile's
// all-or-nothing results.
#include "fileio/fault_injection.h"
#include "fileio/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace {

// O_NONBLOCK keeps a FIFO from blocking the open. A file to read must then
// turn out to be a regular file, as it would have to be on Windows; a file to
// write needs no such check, as emptying it fails for anything else.
int OpenLocked(const char* path, int flags, int lock) {
  const int fd = ::open(path, flags | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  struct stat status;
  const bool regular =
      (flags & O_ACCMODE) != O_RDONLY || (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode));
  if (!regular || ::flock(fd, lock | LOCK_NB) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool CloseDescriptor(FileHandle& handle) {
  if (handle == kNotOpen) return true;
  const bool closed = ::close(static_cast<int>(handle)) == 0;
  handle = kNotOpen;
  return closed;
}

bool SetDescriptorPosition(FileHandle handle, std::int32_t distance) {
  if (handle == kNotOpen || distance < 0) return false;
  return ::lseek(static_cast<int>(handle), distance, SEEK_SET) == distance;
}

}  // namespace

bool InFile::Open(const char* path) {
  if (InjectedFailure(FileCall::kOpen, this)) return false;
  handle = OpenLocked(path, O_RDONLY, LOCK_SH);
  return handle != kNotOpen;
}

// A failed close loses nothing that was read, so its outcome is not reported.
void InFile::Close() {
  if (handle != kNotOpen) InjectedFailure(FileCall::kClose, this);
  CloseDescriptor(handle);
}

bool InFile::Read(void* buffer, std::uint32_t count) {
  if (handle == kNotOpen || InjectedFailure(FileCall::kRead, this)) return false;
  auto* bytes = static_cast<unsigned char*>(buffer);
  while (count > 0) {
    const ssize_t got = ::read(static_cast<int>(handle), bytes, count);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    bytes += got;
    count -= static_cast<std::uint32_t>(got);
  }
  return true;
}

bool InFile::SetPosition(std::int32_t distance) {
  return !InjectedFailure(FileCall::kSetPosition, this) && SetDescriptorPosition(handle, distance);
}

bool OutFile::Open(const char* path) {
  if (InjectedFailure(FileCall::kOpen, this)) return false;
  // No O_TRUNC: the file is emptied only once the exclusive lock shows that
  // nobody else has it open.
  handle = OpenLocked(path, O_WRONLY | O_CREAT, LOCK_EX);
  if (handle != kNotOpen && ::ftruncate(static_cast<int>(handle), 0) != 0) CloseDescriptor(handle);
  return handle != kNotOpen;
}

bool OutFile::Close() {
  const bool injected = handle != kNotOpen && InjectedFailure(FileCall::kClose, this);
  return CloseDescriptor(handle) && !injected;
}

bool OutFile::Write(const void* buffer, std::uint32_t count) {
  if (handle == kNotOpen || InjectedFailure(FileCall::kWrite, this)) return false;
  auto* bytes = static_cast<const unsigned char*>(buffer);
  while (count > 0) {
    const ssize_t put = ::write(static_cast<int>(handle), bytes, count);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes += put;
    count -= static_cast<std::uint32_t>(put);
  }
  return true;
}

bool OutFile::SetPosition(std::int32_t distance) {
  return !InjectedFailure(FileCall::kSetPosition, this) && SetDescriptorPosition(handle, distance);
}

bool RemoveFile(const char* path) {
  return ::unlink(path) == 0;
}
