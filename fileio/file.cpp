// The file classes: handle bookkeeping and the tests' fault seam, the same on
// every platform; the operating-system calls are in os_file.h.
#include "fileio/file.h"
#include "fileio/fault_injection.h"
#include "fileio/os_file.h"

namespace {

bool InjectedFailure(FileCall call, const void* file) {
  return InjectedFault(call, file) != Fault::kNone;
}

bool CloseHandleOf(FileHandle& handle) {
  const bool closed = OsClose(handle);
  handle = kNotOpen;
  return closed;
}

}  // namespace

bool InFile::Open(const char* path) {
  if (InjectedFailure(FileCall::kOpen, this)) return false;
  handle = OsOpenForReading(path);
  return handle != kNotOpen;
}

// A failed close loses nothing that was read, so its outcome is not reported.
void InFile::Close() {
  if (handle == kNotOpen) return;
  InjectedFailure(FileCall::kClose, this);
  CloseHandleOf(handle);
}

bool InFile::Read(void* buffer, std::uint32_t count) {
  std::uint32_t got = 0;
  return ReadUpTo(buffer, count, got) && got == count;
}

bool InFile::ReadUpTo(void* buffer, std::uint32_t count, std::uint32_t& got) {
  got = 0;
  if (handle == kNotOpen) return false;
  switch (InjectedFault(FileCall::kRead, this)) {
    case Fault::kNone:
      return OsRead(handle, buffer, count, got);
    case Fault::kEndOfFile:
      return true;
    case Fault::kError:
      break;
  }
  return false;
}

bool InFile::ReadAt(std::int64_t offset, void* buffer, std::uint32_t count, std::uint32_t& got) {
  got = 0;
  if (handle == kNotOpen || offset < 0) return false;
  switch (InjectedFault(FileCall::kRead, this)) {
    case Fault::kNone:
      return OsReadAt(handle, offset, buffer, count, got);
    case Fault::kEndOfFile:
      return true;
    case Fault::kError:
      break;
  }
  return false;
}

bool InFile::SetPosition(std::int64_t distance) {
  return handle != kNotOpen && !InjectedFailure(FileCall::kSetPosition, this) &&
         OsSetPosition(handle, distance);
}

bool InFile::Stamp(FileStamp& stamp) {
  return handle != kNotOpen && !InjectedFailure(FileCall::kStamp, this) && OsStamp(handle, stamp);
}

bool OutFile::Open(const char* path) {
  if (InjectedFailure(FileCall::kOpen, this)) return false;
  handle = OsCreateForWriting(path);
  return handle != kNotOpen;
}

bool OutFile::Close() {
  if (handle == kNotOpen) return true;
  const bool injected = InjectedFailure(FileCall::kClose, this);
  return CloseHandleOf(handle) && !injected;
}

bool OutFile::Write(const void* buffer, std::uint32_t count) {
  return handle != kNotOpen && !InjectedFailure(FileCall::kWrite, this) &&
         OsWrite(handle, buffer, count);
}

bool OutFile::SetPosition(std::int64_t distance) {
  return handle != kNotOpen && !InjectedFailure(FileCall::kSetPosition, this) &&
         OsSetPosition(handle, distance);
}
