#include <signal.h>

#include <initializer_list>

#include "app/interruptions.h"

namespace {

sigset_t Interruptions() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&set, signal);
  return set;
}

}  // namespace

void HoldInterruptions() {
  const sigset_t set = Interruptions();
  sigprocmask(SIG_BLOCK, &set, nullptr);
}

void ReleaseInterruptions() {
  const sigset_t set = Interruptions();
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

void IgnoreBrokenPipesAndFileSizeLimits() {
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
}
