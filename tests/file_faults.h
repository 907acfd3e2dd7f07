// The tests' use of the file layer's fault seam: record the calls a run
// makes, and make the n-th of them fail.
#pragma once

#include <cstdint>
#include <vector>

#include "fileio/fault_injection.h"

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
