// The work that a load hands to its worker thread: parse one file into a
// tree. The calling thread keeps the job on its stack and does not
// touch the source or the root until the worker has ended.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace orbis {

class ByteSource;
class EntityResolver;
class Tree;

namespace platform {
class ParseControl;
}

// The worker's word that it is done: the waiting thread sleeps until it
// comes or a period passes, so a parse that ends is noticed at once rather
// than at the next poll.
class JobEnd {
public:
  void signal() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ended_ = true;
    }
    changed_.notify_all();
  }
  // True once signalled; waits up to milliseconds for it.
  bool waitFor(uint32_t milliseconds) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                             [this] { return ended_; });
  }

private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool ended_ = false;
};

struct ParseJob {
  ByteSource* source = nullptr;               // not owned; may be null
  Tree* root = nullptr;                       // not owned; may be null
  const EntityResolver* resolver = nullptr;   // the entities of the settings; may be null
  platform::ParseControl* control = nullptr;  // pause/stop requests; may be null
  bool failed = false;    // set by the worker when the parse threw (memory ran out)
  JobEnd* end = nullptr;  // signalled by the worker when it is done; may be null
};

// The worker routine: parses the whole of job->source into job->root with a
// DocumentParser, unless either is missing, signals job->end and returns 0.
// A stop request through the control ends the parse early with the tree
// built so far intact. Nothing thrown leaves it: a parse that throws sets
// job->failed, and the tree is then only fit to be destroyed.
uint32_t parseWorker(void* job);

}  // namespace orbis
