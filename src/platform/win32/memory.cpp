// The global heap: memory the plug-in hands to the host comes from where
// the host's own conventions expect it.
#include <windows.h>

#include "platform/memory.h"

namespace orbis::platform {

void* globalAllocZeroed(std::size_t size) {
  // A zero size still yields a block that globalFree accepts.
  return GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size == 0 ? 1 : size);
}

void globalFree(void* block) {
  if (block != nullptr) GlobalFree(block);
}

}  // namespace orbis::platform
