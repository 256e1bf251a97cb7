#include "platform/bulk_memory.h"

#include <sys/mman.h>

#include <cstdint>

namespace orbis::platform {

void* allocateBulk(std::size_t size) {
  if (size == 0) {
    return nullptr;
  }
  // Map enough to cut an aligned block out of, then unmap the two ends.
  std::size_t mapped = size + BulkAlignment;
  void* start = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (start == MAP_FAILED) {
    return nullptr;
  }
  auto first = reinterpret_cast<std::uintptr_t>(start);
  std::uintptr_t aligned = (first + BulkAlignment - 1) & ~(std::uintptr_t{BulkAlignment} - 1);
  std::size_t head = aligned - first;
  if (head > 0) {
    munmap(start, head);
  }
  std::size_t tail = mapped - head - size;
  if (tail > 0) {
    munmap(reinterpret_cast<void*>(aligned + size), tail);
  }
  void* block = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
  madvise(block, size, MADV_HUGEPAGE);  // only a hint: refused, small pages serve
#endif
  return block;
}

void releaseBulk(void* block, std::size_t size) {
  if (block != nullptr && size > 0) {
    munmap(block, size);
  }
}

}  // namespace orbis::platform
