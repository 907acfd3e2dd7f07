// POSIX calls standing in for the Win32 ones: flock gives the share modes
// between the program's own files (readers share, a writer excludes
// everybody), and the exact-length loops give ReadFile/WriteFile's
// all-or-nothing results.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "fileio/os_file.h"

namespace {

int Descriptor(FileHandle handle) {
  return static_cast<int>(handle);
}

// O_NONBLOCK keeps a FIFO from blocking the open. A file to read must then
// turn out to be a regular file, as it would have to be on Windows; a file to
// write needs no such check, as emptying it fails for anything else.
FileHandle OpenLocked(const char* path, int flags, int lock) {
  const int fd = ::open(path, flags | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return kNotOpen;
  struct stat status;
  const bool regular =
      (flags & O_ACCMODE) != O_RDONLY || (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode));
  if (!regular || ::flock(fd, lock | LOCK_NB) != 0) {
    ::close(fd);
    return kNotOpen;
  }
  return fd;
}

}  // namespace

FileHandle OsOpenForReading(const char* path) {
  return OpenLocked(path, O_RDONLY, LOCK_SH);
}

FileHandle OsCreateForWriting(const char* path) {
  // No O_TRUNC: the file is emptied only once the exclusive lock shows that
  // nobody else has it open.
  const FileHandle handle = OpenLocked(path, O_WRONLY | O_CREAT, LOCK_EX);
  if (handle == kNotOpen || ::ftruncate(Descriptor(handle), 0) == 0) return handle;
  ::close(Descriptor(handle));
  return kNotOpen;
}

bool OsRead(FileHandle handle, void* buffer, std::uint32_t count, std::uint32_t& got) {
  auto* bytes = static_cast<unsigned char*>(buffer);
  got = 0;
  while (got < count) {
    const ssize_t arrived = ::read(Descriptor(handle), bytes + got, count - got);
    if (arrived < 0 && errno == EINTR) continue;
    if (arrived < 0) return false;
    if (arrived == 0) return true;  // the end of the file
    got += static_cast<std::uint32_t>(arrived);
  }
  return true;
}

bool OsWrite(FileHandle handle, const void* buffer, std::uint32_t count) {
  auto* bytes = static_cast<const unsigned char*>(buffer);
  while (count > 0) {
    const ssize_t put = ::write(Descriptor(handle), bytes, count);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes += put;
    count -= static_cast<std::uint32_t>(put);
  }
  return true;
}

bool OsSetPosition(FileHandle handle, std::int64_t distance) {
  static_assert(sizeof(off_t) == 8, "positions past 2 GiB need a 64-bit off_t");
  return distance >= 0 && ::lseek(Descriptor(handle), distance, SEEK_SET) == distance;
}

bool OsStamp(FileHandle handle, FileStamp& stamp) {
  struct stat status;
  if (::fstat(Descriptor(handle), &status) != 0) return false;
  stamp.volume = static_cast<std::uint64_t>(status.st_dev);
  stamp.id = static_cast<std::uint64_t>(status.st_ino);
  stamp.size = static_cast<std::uint64_t>(status.st_size);
  stamp.modified = static_cast<std::uint64_t>(status.st_mtim.tv_sec) * 1000000000u +
                   static_cast<std::uint64_t>(status.st_mtim.tv_nsec);
  return true;
}

bool OsClose(FileHandle handle) {
  return ::close(Descriptor(handle)) == 0;
}

bool OsRemove(const char* path) {
  return ::unlink(path) == 0;
}
