// The file classes: handle bookkeeping and the tests' fault seam, the same on
// every platform; the operating-system calls are in os_file.h.
#include "fileio/file.h"

#include "fileio/fault_injection.h"

namespace {

bool InjectedFailure(FileCall call, const void* file, std::uint32_t bytes = 0) {
  return InjectedFault(call, file, bytes) != Fault::kNone;
}

bool CloseHandleOf(FileHandle& handle) {
  const bool closed = OsClose(handle);
  handle = kNotOpen;
  return closed;
}

}  // namespace

bool InFile::Open(const char* path) {
  Close();
  if (InjectedFailure(FileCall::kOpen, this)) return false;
  handle_ = OsOpenForReading(path);
  position_ = 0;
  return handle_ != kNotOpen;
}

// A failed close loses nothing that was read, so its outcome is not reported.
void InFile::Close() {
  if (handle_ == kNotOpen) return;
  InjectedFailure(FileCall::kClose, this);
  CloseHandleOf(handle_);
}

bool InFile::Read(void* buffer, std::uint32_t count) {
  std::uint32_t got = 0;
  return ReadUpTo(buffer, count, got) && got == count;
}

bool InFile::ReadUpTo(void* buffer, std::uint32_t count, std::uint32_t& got) {
  got = 0;
  if (handle_ == kNotOpen) return false;
  switch (InjectedFault(FileCall::kRead, this, count)) {
    case Fault::kNone:
      if (!OsRead(handle_, buffer, count, got)) break;
      position_ += got;
      return true;
    case Fault::kEndOfFile:
      return true;
    case Fault::kError:
      break;
  }
  position_ = -1;
  return false;
}

bool InFile::SetPosition(std::int64_t distance) {
  const bool set = handle_ != kNotOpen && !InjectedFailure(FileCall::kSetPosition, this) &&
                   OsSetPosition(handle_, distance);
  position_ = set ? distance : -1;
  return set;
}

bool InFile::Stamp(FileStamp& stamp) {
  return handle_ != kNotOpen && !InjectedFailure(FileCall::kStamp, this) && OsStamp(handle_, stamp);
}

bool OutFile::Open(const char* path) {
  Close();
  if (InjectedFailure(FileCall::kOpen, this)) return false;
  handle_ = OsCreateForWriting(path);
  return handle_ != kNotOpen;
}

bool OutFile::Close() {
  if (handle_ == kNotOpen) return true;
  const bool injected = InjectedFailure(FileCall::kClose, this);
  return CloseHandleOf(handle_) && !injected;
}

bool OutFile::Write(const void* buffer, std::uint32_t count) {
  return handle_ != kNotOpen && !InjectedFailure(FileCall::kWrite, this, count) &&
         OsWrite(handle_, buffer, count);
}

bool OutFile::SetPosition(std::int64_t distance) {
  return handle_ != kNotOpen && !InjectedFailure(FileCall::kSetPosition, this) &&
         OsSetPosition(handle_, distance);
}

bool RemoveFile(const char* path) {
  return !InjectedFailure(FileCall::kRemove, nullptr) && OsRemove(path);
}
