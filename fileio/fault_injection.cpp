#include "fileio/fault_injection.h"

namespace {

bool armed = false;
long callsLeft = 0;
Fault injected = Fault::kError;
bool removalsFail = false;
std::vector<RecordedCall> calls;

}  // namespace

namespace file_faults {

void Arm(long failAt, Fault fault, bool failRemovals) {
  injected = fault;
  callsLeft = failAt;
  removalsFail = failRemovals;
  calls.clear();
  armed = true;
}

void Disarm() {
  armed = false;
}

const std::vector<RecordedCall>& Calls() {
  return calls;
}

}  // namespace file_faults

Fault InjectedFault(FileCall call, const void* file, std::uint32_t bytes) {
  if (!armed) return Fault::kNone;
  calls.push_back({call, file, bytes});
  if (call == FileCall::kRemove && removalsFail) return Fault::kError;
  return --callsLeft == 0 ? injected : Fault::kNone;
}
