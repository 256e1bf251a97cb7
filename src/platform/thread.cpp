#include "platform/thread.h"

#include <pthread.h>
#include <signal.h>

namespace orbis::platform {

WorkerThread::~WorkerThread() { join(); }

bool WorkerThread::start(Routine routine, void* argument) {
  if (thread_.joinable() || routine == nullptr) {
    return false;
  }
  exitCode_.store(StillActive, std::memory_order_relaxed);
  // The worker starts with every asynchronous signal blocked, so that Ctrl-C
  // and its kin reach the thread that owns the console and the temporary
  // files.
  sigset_t all;
  sigset_t previous;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &previous);
  bool started = true;
  try {
    thread_ = std::thread([this, routine, argument] {
      uint32_t code = routine(argument);
      exitCode_.store(code, std::memory_order_release);
    });
  } catch (...) {
    started = false;
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return started;
}

uint32_t WorkerThread::exitCode() const { return exitCode_.load(std::memory_order_acquire); }

void WorkerThread::join() {
  if (thread_.joinable()) {
    thread_.join();
  }
}

}  // namespace orbis::platform
