#include "fileio/fault_injection.h"

namespace {

bool armed = false;
long callsLeft = 0;
std::vector<RecordedCall> calls;

}  // namespace

namespace file_faults {

void Arm(long failAt) {
  armed = true;
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

bool InjectedFailure(FileCall call, const void* file) {
  if (!armed) return false;
  calls.push_back({call, file});
  return --callsLeft == 0;
}
