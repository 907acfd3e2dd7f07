#include <windows.h>

#include "tiling/background_task.h"

namespace {

struct Thread {
  HANDLE handle;
  BackgroundTask::Work work;
  void* context;
};

DWORD WINAPI Run(void* thread) {
  const Thread& started = *static_cast<Thread*>(thread);
  started.work(started.context);
  return 0;
}

// The work needs little stack; the default reservation is a megabyte.
constexpr SIZE_T kStackBytes = 256 * 1024;

}  // namespace

void BackgroundTask::Start(Work work, void* context) {
  Thread* thread = new Thread{nullptr, work, context};
  thread->handle =
      CreateThread(nullptr, kStackBytes, Run, thread, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (thread->handle != nullptr) {
    thread_ = thread;
    return;
  }
  delete thread;
  work(context);
}

void BackgroundTask::Wait() {
  if (thread_ == nullptr) return;
  Thread* thread = static_cast<Thread*>(thread_);
  WaitForSingleObject(thread->handle, INFINITE);
  CloseHandle(thread->handle);
  delete thread;
  thread_ = nullptr;
}
