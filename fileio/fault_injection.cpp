#include "fileio/fault_injection.h"

namespace {

bool armed = false;
long callsLeft = 0;
Fault injected = Fault::kError;
std::vector<RecordedCall> calls;

}  // namespace

namespace file_faults {

void Arm(long failAt, Fault fault) {
  armed = true;
  injected = fault;
  callsLeft = failAt;
  calls.clear();
}

void Disarm() {
  armed = false;
}

const std::vector<RecordedCall>& Calls() {
  return calls;
}

}  // namespace file_faults

Fault InjectedFault(FileCall call, const void* file) {
  if (!armed) return Fault::kNone;
  calls.push_back({call, file});
  return --callsLeft == 0 ? injected : Fault::kNone;
}
