// One piece of work done on a thread of its own while the caller goes on:
// the check of an RLE4 stream's second half beside its first. Each platform
// supplies the thread in its own file. Where no thread can be made, the work
// is done at once, in Start.
#pragma once

class BackgroundTask {
 public:
  using Work = void (*)(void* context);

  BackgroundTask() = default;
  ~BackgroundTask() { Wait(); }
  BackgroundTask(const BackgroundTask&) = delete;
  BackgroundTask& operator=(const BackgroundTask&) = delete;

  // Starts `work` on `context`; the task must not be running. The thread
  // takes no signals: they stay with the thread that holds them back while
  // a tile is open.
  void Start(Work work, void* context) {
    thread_ = StartThread(work, context);
    if (thread_ == nullptr) work(context);
  }
  // Returns once the work is done; at once when none was started. All the
  // work wrote is then visible to the caller.
  void Wait() {
    if (thread_ == nullptr) return;
    JoinThread(thread_);
    thread_ = nullptr;
  }

 private:
  // The platform's thread, made and ended in its own file.
  struct Thread;
  // A thread running `work`, or null when none can be made.
  static Thread* StartThread(Work work, void* context);
  // Waits for the thread's end and frees it.
  static void JoinThread(Thread* thread);

  Thread* thread_ = nullptr;  // while the work may run
};
