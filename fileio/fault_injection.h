// A seam for tests: makes one chosen call of the file layer fail, as a full
// disk, a vanished folder or a failing device would. The program never arms
// it; disarmed, it costs one test per call.
#pragma once

#include <cstdint>
#include <vector>

enum class FileCall { kOpen, kRead, kWrite, kSetPosition, kStamp, kClose, kRemove };

// How an injected call fails: as an I/O error, or (for a read) by meeting
// the end of the file, so that nothing arrives.
enum class Fault { kNone, kError, kEndOfFile };

struct RecordedCall {
  FileCall call;
  const void* file;     // the InFile or OutFile object; null for a removal
  std::uint32_t bytes;  // asked to read or write
};

namespace file_faults {

// Starts recording calls afresh; the `failAt`-th call from now (counting from
// 1) fails with `fault`, none when it is 0; with `removalsFail`, every
// removal fails too.
void Arm(long failAt, Fault fault = Fault::kError, bool removalsFail = false);
void Disarm();
const std::vector<RecordedCall>& Calls();

}  // namespace file_faults

// Called by the file layer at the start of each operation: records it and
// tells whether and how it must fail.
Fault InjectedFault(FileCall call, const void* file, std::uint32_t bytes = 0);
