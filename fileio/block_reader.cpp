#include "fileio/block_reader.h"

#include <cstring>

// Keeps the bytes at hand from `offset` on and reads a block's worth after
// them. Every refill positions the file first: other reads of it (a
// palette, a header) may have moved it since the last one.
bool BlockReader::Refill(InFile& file, std::int64_t offset, ByteSpan& bytes) {
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
  const auto wanted = static_cast<std::uint32_t>(block_.capacity() - kept);
  std::uint32_t got = 0;
  if (!file.SetPosition(offset + static_cast<std::int64_t>(kept)) ||
      !file.ReadUpTo(block_.data() + kept, wanted, got)) {
    file_ = nullptr;
    return false;
  }
  end_ += got;
  endOfFile_ = got < wanted;  // a read comes up short only at the end of the file
  bytes = {block_.data(), end_};
  return true;
}
