// The work that a load hands to its worker thread: parse one file into a
// tree. The calling thread keeps the job on its stack and does not
// touch the source or the root until the worker has ended.
#pragma once

#include <cstdint>

namespace orbis {

class ByteSource;
class EntityResolver;
class Tree;

namespace platform {
class ParseControl;
}

struct ParseJob {
  ByteSource* source = nullptr;               // not owned; may be null
  Tree* root = nullptr;                       // not owned; may be null
  const EntityResolver* resolver = nullptr;   // the entities of the settings; may be null
  platform::ParseControl* control = nullptr;  // pause/stop requests; may be null
  bool failed = false;  // set by the worker when the parse threw (memory ran out)
};

// The worker routine: parses the whole of job->source into job->root with a
// DocumentParser, unless either is missing, and returns 0.
// A stop request through the control ends the parse early with the tree
// built so far intact. Nothing thrown leaves it: a parse that throws sets
// job->failed, and the tree is then only fit to be destroyed.
uint32_t parseWorker(void* job);

}  // namespace orbis
