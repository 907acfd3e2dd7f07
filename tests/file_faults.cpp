#include "tests/file_faults.h"

namespace {

long callsLeft = 0;
Fault injected = Fault::kError;
bool removalsFail = false;
std::vector<RecordedCall> calls;

Fault Record(FileCall call, const void* file, std::uint32_t bytes) {
  calls.push_back({call, file, bytes});
  if (call == FileCall::kRemove && removalsFail) return Fault::kError;
  return --callsLeft == 0 ? injected : Fault::kNone;
}

}  // namespace

namespace file_faults {

void Arm(long failAt, Fault fault, bool failRemovals) {
  injected = fault;
  callsLeft = failAt;
  removalsFail = failRemovals;
  calls.clear();
  SetFaultHook(Record);
}

void Disarm() {
  SetFaultHook(nullptr);
}

const std::vector<RecordedCall>& Calls() {
  return calls;
}

}  // namespace file_faults
