// One worker thread with a Windows-style exit code, and the cooperative
// control word through which the waiting thread pauses, resumes or stops it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace orbis::platform {

// The exit code reported while the thread still runs.
constexpr uint32_t StillActive = 259;

class WorkerThread {
public:
  using Routine = uint32_t (*)(void* argument);

  WorkerThread() = default;
  ~WorkerThread();  // waits for the thread to end
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Starts routine(argument) on a new thread; false when none can be made.
  bool start(Routine routine, void* argument);
  // StillActive while running, then the routine's result.
  uint32_t exitCode() const;
  // Waits for the end of the thread (no effect when none was started).
  void join();

private:
#ifdef _WIN32
  void* handle_ = nullptr;  // the system's thread, closed by join
#else
  std::thread thread_;
#endif
  std::atomic<uint32_t> exitCode_{StillActive};
};

// Checked by a long computation between steps. Pause makes the computation
// block at its next check until resume; stop makes the check report that the
// computation should return, with its results so far kept intact.
class ParseControl {
public:
  void pause();
  void resume();
  void stop();

  // Called by the worker between steps: blocks while paused; returns false
  // when stop was requested. Cheap when nothing was requested.
  bool checkpoint();
  bool stopRequested() const { return state_.load(std::memory_order_relaxed) == Stopped; }

private:
  enum : int { Running = 0, Paused = 1, Stopped = 2 };
  std::atomic<int> state_{Running};
  std::mutex mutex_;
  std::condition_variable changed_;
};

}  // namespace orbis::platform
