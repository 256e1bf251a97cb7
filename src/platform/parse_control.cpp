// The cooperative control word, the same on every system: the worker
// pauses itself at its next check, where it holds nothing that the waiting
// thread could need while it asks the user.
#include "platform/thread.h"

namespace orbis::platform {

void ParseControl::pause() {
  std::lock_guard<std::mutex> lock(mutex_);
  int expected = Running;
  state_.compare_exchange_strong(expected, Paused);
}

void ParseControl::resume() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    int expected = Paused;
    state_.compare_exchange_strong(expected, Running);
  }
  changed_.notify_all();
}

void ParseControl::stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    state_.store(Stopped);
  }
  changed_.notify_all();
}

bool ParseControl::checkpoint() {
  if (state_.load(std::memory_order_relaxed) == Running) {
    return true;
  }
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return state_.load() != Paused; });
  return state_.load() != Stopped;
}

}  // namespace orbis::platform
