// A seam for tests: lets them make a chosen call of the file layer fail, as
// a full disk, a vanished folder or a failing device would. The program sets
// no hook; without one, the seam costs one test per call.
#pragma once

#include <cstdint>

enum class FileCall { kOpen, kRead, kWrite, kSetPosition, kStamp, kClose, kRemove };

// How an injected call fails: as an I/O error, or (for a read) by meeting
// the end of the file, so that nothing arrives.
enum class Fault { kNone, kError, kEndOfFile };

// Told of each call before it is made: which call, on which InFile or
// OutFile object (null for a removal), for how many bytes; says how the call
// is to fail.
using FaultHook = Fault (*)(FileCall call, const void* file, std::uint32_t bytes);

// Null removes the hook.
void SetFaultHook(FaultHook hook);

// Called by the file layer at the start of each operation.
Fault InjectedFault(FileCall call, const void* file, std::uint32_t bytes = 0);
