#include "fileio/fault_injection.h"

#include <atomic>

namespace {

std::atomic<bool> armed{false};
long callsLeft = 0;
Fault injected = Fault::kError;
std::vector<RecordedCall> calls;
// Two threads may read a file at once; armed, their calls take turns.
std::atomic_flag recording = ATOMIC_FLAG_INIT;

}  // namespace

namespace file_faults {

void Arm(long failAt, Fault fault) {
  injected = fault;
  callsLeft = failAt;
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

Fault InjectedFault(FileCall call, const void* file) {
  if (!armed) return Fault::kNone;
  while (recording.test_and_set(std::memory_order_acquire)) {
  }
  calls.push_back({call, file});
  const Fault fault = --callsLeft == 0 ? injected : Fault::kNone;
  recording.clear(std::memory_order_release);
  return fault;
}
