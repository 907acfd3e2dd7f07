#include <pthread.h>
#include <signal.h>

#include "tiling/background_task.h"

namespace {

struct Thread {
  pthread_t id;
  BackgroundTask::Work work;
  void* context;
};

void* Run(void* thread) {
  const Thread& started = *static_cast<Thread*>(thread);
  started.work(started.context);
  return nullptr;
}

}  // namespace

void BackgroundTask::Start(Work work, void* context) {
  Thread* thread = new Thread{{}, work, context};
  // A new thread starts with its creator's signal mask.
  sigset_t all, previous;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &previous);
  const bool started = pthread_create(&thread->id, nullptr, Run, thread) == 0;
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  if (started) {
    thread_ = thread;
    return;
  }
  delete thread;
  work(context);
}

void BackgroundTask::Wait() {
  if (thread_ == nullptr) return;
  Thread* thread = static_cast<Thread*>(thread_);
  pthread_join(thread->id, nullptr);
  delete thread;
  thread_ = nullptr;
}
