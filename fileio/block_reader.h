// A file read in blocks: the bytes from any offset handed out as one
// stretch in memory, refilled from the file only when too few of them are at
// hand. Its one rule: a stretch holds at least the bytes asked for, fewer
// only where the file ends.
#pragma once

#include <cstddef>
#include <cstdint>

#include "fileio/buffer.h"
#include "fileio/file.h"

struct ByteSpan {
  const std::uint8_t* at = nullptr;
  std::size_t size = 0;
};

class BlockReader {
 public:
  // Takes the room for blocks of `blockBytes`. A refill fills the block, or
  // with `onlyAsked` reads no further than the bytes asked for. False when
  // memory runs out.
  bool Reserve(std::size_t blockBytes, bool onlyAsked = false) {
    onlyAsked_ = onlyAsked;
    return block_.Reserve(blockBytes);
  }

  // The bytes of `file` from `offset` on: at least `count` of them (at most
  // a block), fewer only where the file ends. They stay valid until the
  // next call. False on a read error.
  bool Fetch(InFile& file, std::int64_t offset, std::size_t count, ByteSpan& bytes) {
    const std::int64_t at = offset - start_;
    if (&file == file_ && at >= 0 && at <= static_cast<std::int64_t>(end_) &&
        (end_ - static_cast<std::size_t>(at) >= count || endOfFile_)) {
      bytes = {block_.data() + at, end_ - static_cast<std::size_t>(at)};
      return true;
    }
    return Refill(file, offset, count, bytes);
  }

 private:
  bool Refill(InFile& file, std::int64_t offset, std::size_t count, ByteSpan& bytes);

  Buffer<std::uint8_t> block_;
  InFile* file_ = nullptr;
  std::int64_t start_ = 0;  // the file offset of the block's first byte
  std::size_t end_ = 0;     // bytes in the block
  bool endOfFile_ = false;  // the file ends where they do
  bool onlyAsked_ = false;
};
