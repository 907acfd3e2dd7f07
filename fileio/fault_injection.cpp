#include "fileio/fault_injection.h"

namespace {

FaultHook hook = nullptr;

}  // namespace

void SetFaultHook(FaultHook newHook) {
  hook = newHook;
}

Fault InjectedFault(FileCall call, const void* file, std::uint32_t bytes) {
  return hook != nullptr ? hook(call, file, bytes) : Fault::kNone;
}
