// The worker on a thread of the system's own: its exit code is the one the
// system keeps for the thread, STILL_ACTIVE while it runs. Pausing stays
// cooperative (parse_control.cpp) rather than suspending the thread: a thread
// stopped at an arbitrary point may hold the heap's lock, and the question
// the waiting thread then asks through the host needs that heap.
#include <windows.h>

#include <new>

#include "platform/thread.h"

namespace orbis::platform {

static_assert(StillActive == STILL_ACTIVE);

namespace {

struct StartRecord {
  WorkerThread::Routine routine;
  void* argument;
};

DWORD WINAPI runWorker(LPVOID parameter) {
  StartRecord start = *static_cast<StartRecord*>(parameter);
  delete static_cast<StartRecord*>(parameter);
  return start.routine(start.argument);
}

}  // namespace

WorkerThread::~WorkerThread() { join(); }

bool WorkerThread::start(Routine routine, void* argument) {
  if (handle_ != nullptr || routine == nullptr) return false;
  auto* start = new (std::nothrow) StartRecord{routine, argument};
  if (start == nullptr) return false;
  exitCode_.store(StillActive, std::memory_order_relaxed);
  handle_ = CreateThread(nullptr, 0, runWorker, start, 0, nullptr);
  if (handle_ == nullptr) delete start;
  return handle_ != nullptr;
}

uint32_t WorkerThread::exitCode() const {
  if (handle_ == nullptr) return exitCode_.load(std::memory_order_acquire);
  DWORD code = 0;
  // A thread whose code cannot be read counts as ended: join then waits for
  // it, where polling forever would not.
  if (!GetExitCodeThread(handle_, &code)) return 0;
  return code;
}

void WorkerThread::join() {
  if (handle_ == nullptr) return;
  WaitForSingleObject(handle_, INFINITE);
  DWORD code = 0;
  exitCode_.store(GetExitCodeThread(handle_, &code) ? code : 0, std::memory_order_release);
  CloseHandle(handle_);
  handle_ = nullptr;
}

}  // namespace orbis::platform
