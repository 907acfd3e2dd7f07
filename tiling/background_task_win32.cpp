#include <windows.h>

#include "tiling/background_task.h"

namespace {

// The work needs little stack; the default reservation is a megabyte.
constexpr SIZE_T kStackBytes = 256 * 1024;

}  // namespace

struct BackgroundTask::Thread {
  HANDLE handle;
  Work work;
  void* context;

  static DWORD WINAPI Run(void* thread) {
    const Thread& started = *static_cast<Thread*>(thread);
    started.work(started.context);
    return 0;
  }
};

BackgroundTask::Thread* BackgroundTask::StartThread(Work work, void* context) {
  Thread* thread = new Thread{nullptr, work, context};
  thread->handle = CreateThread(nullptr, kStackBytes, Thread::Run, thread,
                                STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (thread->handle != nullptr) return thread;
  delete thread;
  return nullptr;
}

void BackgroundTask::JoinThread(Thread* thread) {
  WaitForSingleObject(thread->handle, INFINITE);
  CloseHandle(thread->handle);
  delete thread;
}
