#include "fileio/block_reader.h"

#include <cstring>

// Keeps the bytes at hand from `offset` on and reads more after them. Other
// reads of the file (a palette, a header) may have moved it since the last
// refill, so a read that does not start where the file is seeks first.
bool BlockReader::Refill(InFile& file, std::int64_t offset, std::size_t count, ByteSpan& bytes) {
  if (count > block_.capacity()) return false;  // never reserved, or a caller's fault
  const std::int64_t at = offset - start_;
  std::size_t kept = 0;
  if (&file == file_ && at >= 0 && at <= static_cast<std::int64_t>(end_)) {
    kept = end_ - static_cast<std::size_t>(at);
    std::memmove(block_.data(), block_.data() + at, kept);
  }
  file_ = &file;
  start_ = offset;
  end_ = kept;
  endOfFile_ = false;
  const auto wanted = static_cast<std::uint32_t>((onlyAsked_ ? count : block_.capacity()) - kept);
  const std::int64_t readAt = offset + static_cast<std::int64_t>(kept);
  std::uint32_t got = 0;
  if ((file.Position() != readAt && !file.SetPosition(readAt)) ||
      !file.ReadUpTo(block_.data() + kept, wanted, got)) {
    file_ = nullptr;
    return false;
  }
  end_ += got;
  endOfFile_ = got < wanted;  // a read comes up short only at the end of the file
  bytes = {block_.data(), end_};
  return true;
}
