// Large aligned blocks from the system's virtual memory. The system only
// promises 64 KB alignment, so a larger span is reserved to find an aligned
// address in, given back, and the aligned part taken; another thread may
// take the span in between, which only costs another attempt.
#include <windows.h>

#include <cstdint>

#include "platform/bulk_memory.h"

namespace orbis::platform {

namespace {

constexpr int Attempts = 16;

void* reserveAligned(std::size_t size) {
  void* probe = VirtualAlloc(nullptr, size + BulkAlignment, MEM_RESERVE, PAGE_NOACCESS);
  if (probe == nullptr) return nullptr;
  auto first = reinterpret_cast<std::uintptr_t>(probe);
  std::uintptr_t aligned = (first + BulkAlignment - 1) & ~(std::uintptr_t{BulkAlignment} - 1);
  VirtualFree(probe, 0, MEM_RELEASE);
  // Committed pages read as zero and take memory only once touched.
  return VirtualAlloc(reinterpret_cast<void*>(aligned), size, MEM_RESERVE | MEM_COMMIT,
                      PAGE_READWRITE);
}

}  // namespace

void* allocateBulk(std::size_t size) {
  if (size == 0 || size > SIZE_MAX - BulkAlignment) return nullptr;
  for (int attempt = 0; attempt < Attempts; ++attempt) {
    if (void* block = reserveAligned(size)) return block;
    // Nothing reserved at all means no room, not a lost race.
    void* room = VirtualAlloc(nullptr, size + BulkAlignment, MEM_RESERVE, PAGE_NOACCESS);
    if (room == nullptr) return nullptr;
    VirtualFree(room, 0, MEM_RELEASE);
  }
  return nullptr;
}

void releaseBulk(void* block, std::size_t size) {
  if (block != nullptr && size > 0) VirtualFree(block, 0, MEM_RELEASE);
}

}  // namespace orbis::platform
