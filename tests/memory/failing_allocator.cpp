#include "failing_allocator.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace orbis::testing {

namespace {

std::atomic<bool> armed{false};
std::atomic<long> budget{0};
std::atomic<long> made{0};

void* allocate(std::size_t size) {
  if (armed.load(std::memory_order_relaxed)) {
    made.fetch_add(1, std::memory_order_relaxed);
    if (budget.fetch_sub(1, std::memory_order_relaxed) <= 0) throw std::bad_alloc();
  }
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void* allocateOrNull(std::size_t size) noexcept {
  try {
    return allocate(size);
  } catch (...) {
    return nullptr;
  }
}

}  // namespace

void armAllocations(long allowed) {
  made.store(0);
  budget.store(allowed);
  armed.store(true);
}

long disarmAllocations() {
  armed.store(false);
  return made.load();
}

}  // namespace orbis::testing

// The replaceable allocation functions, all over malloc and free so that
// every form of delete matches every form of new.
void* operator new(std::size_t size) { return orbis::testing::allocate(size); }
void* operator new[](std::size_t size) { return orbis::testing::allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return orbis::testing::allocateOrNull(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return orbis::testing::allocateOrNull(size);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
