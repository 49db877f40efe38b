#include "platform/win/process_end.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

std::atomic<void (*)()> exitRoutine{nullptr};

// Takes the routine out before running it, so that it runs at most once, whichever end of
// the process comes first.
void RunExitRoutineOnce() {
  void (*routine)() = exitRoutine.exchange(nullptr);
  if (routine != nullptr) routine();
}

}  // namespace

void RegisterExitRoutine(void (*routine)()) {
  static const bool hooked = std::atexit(RunExitRoutineOnce) == 0;
  (void)hooked;
  exitRoutine.store(routine);
}

void WithdrawExitRoutine() {
  exitRoutine.store(nullptr);
}

void EndProcess(int code) {
  RunExitRoutineOnce();
  std::fflush(nullptr);
  ::_exit(code);
}

void EndProcessFatally() {
  WithdrawExitRoutine();
  std::fflush(nullptr);
  ::_exit(-1);
}
