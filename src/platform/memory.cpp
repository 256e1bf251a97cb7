#include "platform/memory.h"

#include <cstdlib>

namespace orbis::platform {

void* globalAllocZeroed(std::size_t size) {
  // calloc keeps the zero fill the callers rely on; a zero size still yields
  // a block that globalFree accepts.
  return std::calloc(size == 0 ? 1 : size, 1);
}

void globalFree(void* block) { std::free(block); }

}  // namespace orbis::platform
