// Kept chunks form a list linked through their first bytes, under a lock:
// a chunk is asked for or given back a few times per megabyte of a page.
#include "pool/chunk_pool.h"

#include <mutex>
#include <new>

#include "platform/bulk_memory.h"

#if defined(__SANITIZE_ADDRESS__)
#define ORBIS_CHUNK_POOL 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORBIS_CHUNK_POOL 0
#endif
#endif
#ifndef ORBIS_CHUNK_POOL
#define ORBIS_CHUNK_POOL 1
#endif

namespace orbis {

#if ORBIS_CHUNK_POOL

namespace {

static_assert(PoolChunkSize == platform::BulkAlignment);

// Enough to carry a load's tree chunks over to its lines and its next
// tree chunks without the system in between; 64 MB at most.
constexpr std::size_t KeptChunks = 32;

struct FreeChunk {
  FreeChunk* next;
};

struct FreeChunks {
  std::mutex mutex;
  FreeChunk* first = nullptr;
  std::size_t count = 0;
};

FreeChunks& freeChunks() {
  static FreeChunks* chunks = new FreeChunks;  // never destroyed: threads may outlive statics
  return *chunks;
}

std::size_t bulkSize(std::size_t size) { return (size + PoolChunkSize - 1) & ~(PoolChunkSize - 1); }

}  // namespace

void* allocateChunk(std::size_t size) {
  if (size <= PoolChunkSize) {
    FreeChunks& chunks = freeChunks();
    std::lock_guard<std::mutex> lock(chunks.mutex);
    if (FreeChunk* kept = chunks.first) {
      chunks.first = kept->next;
      --chunks.count;
      return kept;
    }
  }
  void* memory = platform::allocateBulk(bulkSize(size));
  if (memory == nullptr) throw std::bad_alloc();
  return memory;
}

void releaseChunk(void* chunk, std::size_t size) noexcept {
  if (chunk == nullptr) return;
  if (size <= PoolChunkSize) {
    FreeChunks& chunks = freeChunks();
    std::lock_guard<std::mutex> lock(chunks.mutex);
    if (chunks.count < KeptChunks) {
      chunks.first = new (chunk) FreeChunk{chunks.first};
      ++chunks.count;
      return;
    }
  }
  platform::releaseBulk(chunk, bulkSize(size));
}

std::size_t releaseUnusedChunks() {
  FreeChunk* first = nullptr;
  {
    FreeChunks& chunks = freeChunks();
    std::lock_guard<std::mutex> lock(chunks.mutex);
    first = chunks.first;
    chunks.first = nullptr;
    chunks.count = 0;
  }
  std::size_t released = 0;
  while (first != nullptr) {
    FreeChunk* next = first->next;
    platform::releaseBulk(first, PoolChunkSize);
    released += PoolChunkSize;
    first = next;
  }
  return released;
}

#else  // the ordinary heap, for AddressSanitizer

void* allocateChunk(std::size_t size) { return ::operator new (size, std::align_val_t{64}); }

void releaseChunk(void* chunk, std::size_t) noexcept {
  ::operator delete (chunk, std::align_val_t{64});
}

std::size_t releaseUnusedChunks() { return 0; }

#endif

}  // namespace orbis
