#include <pthread.h>
#include <signal.h>

#include "tiling/background_task.h"

struct BackgroundTask::Thread {
  pthread_t id;
  Work work;
  void* context;

  static void* Run(void* thread) {
    const Thread& started = *static_cast<Thread*>(thread);
    started.work(started.context);
    return nullptr;
  }
};

BackgroundTask::Thread* BackgroundTask::StartThread(Work work, void* context) {
  Thread* thread = new Thread{{}, work, context};
  // A new thread starts with its creator's signal mask.
  sigset_t all, previous;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &previous);
  const bool started = pthread_create(&thread->id, nullptr, Thread::Run, thread) == 0;
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  if (started) return thread;
  delete thread;
  return nullptr;
}

void BackgroundTask::JoinThread(Thread* thread) {
  pthread_join(thread->id, nullptr);
  delete thread;
}
