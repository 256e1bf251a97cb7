// Chunked block cutting behind allocateBlock.
//
// Each thread cuts blocks, one after the other, from a chunk of its own.
// While it does, it counts the blocks it cut in a plain thread-local
// counter, and the chunk's shared counter only goes down, once per release
// (from any thread). When the thread moves on to another chunk it adds its
// count to the shared one, so the shared counter reaches zero exactly once:
// at the release of the chunk's last block, or at that addition when every
// block was already released. Whoever sees it reach zero puts the chunk on
// the free list. Allocation thus takes no lock and no atomic operation, and
// a release takes one atomic subtraction.
//
// A thread's chunk is handed on when the thread ends. Blocks wanted after
// that (from other thread-local destructors) come from one chunk shared
// under a lock, which counts every block at once and holds one count of its
// own while blocks are cut from it.
#include "pool/block_pool.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <new>

#include "platform/bulk_memory.h"

#if defined(__SANITIZE_ADDRESS__)
#define ORBIS_BLOCK_POOL 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORBIS_BLOCK_POOL 0
#endif
#endif
#ifndef ORBIS_BLOCK_POOL
#define ORBIS_BLOCK_POOL 1
#endif

namespace orbis {

#if ORBIS_BLOCK_POOL

namespace {

constexpr std::size_t Granule = 8;
constexpr std::size_t LargestPooled = 512;
// One huge page: a chunk aligned to its size is found from any block in it.
constexpr std::size_t ChunkSize = PoolChunkSize;
static_assert(ChunkSize == platform::BulkAlignment);

struct alignas(64) ChunkHeader {
  std::atomic<int64_t> inUse{0};  // see the comment at the top
  ChunkHeader* nextFree = nullptr;
};

bool isPooled(std::size_t size) { return size - 1 < LargestPooled; }  // size 0 wraps around
std::size_t roundUp(std::size_t size) { return (size + Granule - 1) & ~(Granule - 1); }

ChunkHeader* chunkOf(void* block) {
  return reinterpret_cast<ChunkHeader*>(reinterpret_cast<std::uintptr_t>(block) & ~(ChunkSize - 1));
}

// How many wholly free chunks are kept for new blocks; the system gets the
// rest back at once. While layout frees a tree and makes runs, the tree
// goes free faster than the runs fill chunks, so a few are enough.
constexpr std::size_t KeptChunks = 4;

// Wholly free chunks, linked through their headers so that keeping one
// never allocates (it happens inside releases, which must not throw).
struct FreeChunks {
  std::mutex mutex;
  ChunkHeader* first = nullptr;
  std::size_t count = 0;
};

FreeChunks& freeChunks() {
  static FreeChunks* chunks = new FreeChunks;  // never destroyed: threads may outlive statics
  return *chunks;
}

void keepFreeChunk(ChunkHeader* chunk) {
  {
    FreeChunks& chunks = freeChunks();
    std::lock_guard<std::mutex> lock(chunks.mutex);
    if (chunks.count < KeptChunks) {
      chunk->nextFree = chunks.first;
      chunks.first = chunk;
      ++chunks.count;
      return;
    }
  }
  chunk->~ChunkHeader();
  platform::releaseBulk(chunk, ChunkSize);
}

// A kept free chunk, else a new one from the system; its counter is 0.
ChunkHeader* takeChunk() {
  void* memory = nullptr;
  {
    FreeChunks& chunks = freeChunks();
    std::lock_guard<std::mutex> lock(chunks.mutex);
    if (chunks.first != nullptr) {
      memory = chunks.first;
      chunks.first = chunks.first->nextFree;
      --chunks.count;
    }
  }
  if (memory == nullptr) {
    memory = platform::allocateBulk(ChunkSize);
    if (memory == nullptr) {
      throw std::bad_alloc();
    }
  }
  return new (memory) ChunkHeader;
}

void countRelease(ChunkHeader* chunk, int64_t blocks) {
  if (chunk->inUse.fetch_sub(blocks, std::memory_order_acq_rel) == blocks) {
    keepFreeChunk(chunk);
  }
}

// Where blocks are being cut: the rest of one chunk.
struct Cutter {
  ChunkHeader* chunk = nullptr;
  char* next = nullptr;
  char* end = nullptr;
  int64_t cut = 0;  // blocks cut and not yet added to the chunk's counter

  void start(ChunkHeader* fresh) {
    chunk = fresh;
    next = reinterpret_cast<char*>(fresh) + sizeof(ChunkHeader);
    end = reinterpret_cast<char*>(fresh) + ChunkSize;
    cut = 0;
  }
  bool fits(std::size_t size) const { return static_cast<std::size_t>(end - next) >= size; }
  void* cutBlock(std::size_t size) {
    void* block = next;
    next += size;
    ++cut;
    return block;
  }
  // Moves on from the chunk: its counter takes the blocks cut from it.
  void handOn() {
    if (chunk != nullptr) {
      countRelease(chunk, -cut);
    }
    *this = Cutter{};
  }
};

enum class CutterState : uint8_t { Unused, Active, Ended };

// Trivially destructible, so it stays readable while the thread ends; the
// hand-on at thread end is a separate object (ThreadEnd).
struct ThreadCutter {
  Cutter cutter;
  CutterState state = CutterState::Unused;
};

thread_local ThreadCutter threadCutter;

struct ThreadEnd {
  ~ThreadEnd() {
    threadCutter.cutter.handOn();
    threadCutter.state = CutterState::Ended;
  }
};

// The shared chunk for threads that have ended. It counts one block for
// itself while it is cut from, so it cannot go free under the cutter.
struct LateCutter {
  std::mutex mutex;
  Cutter cutter;
};

void* allocateLate(std::size_t size) {
  static LateCutter* late = new LateCutter;  // never destroyed, like the free list
  std::lock_guard<std::mutex> lock(late->mutex);
  Cutter& cutter = late->cutter;
  if (!cutter.fits(size)) {
    if (cutter.chunk != nullptr) {
      countRelease(cutter.chunk, 1);
    }
    cutter.start(takeChunk());
    cutter.chunk->inUse.store(1, std::memory_order_relaxed);
  }
  cutter.chunk->inUse.fetch_add(1, std::memory_order_relaxed);
  return cutter.cutBlock(size);
}

// Out of line, so that the fast path needs no stack frame.
[[gnu::noinline]] void* allocateSlow(std::size_t size) {
  ThreadCutter& thread = threadCutter;
  if (thread.state == CutterState::Ended) {
    return allocateLate(size);
  }
  if (thread.state == CutterState::Unused) {
    static thread_local ThreadEnd end;
    (void)end;
    thread.state = CutterState::Active;
  }
  thread.cutter.handOn();
  thread.cutter.start(takeChunk());
  return thread.cutter.cutBlock(size);
}

}  // namespace

void* allocateBlock(std::size_t size) {
  if (!isPooled(size)) {
    return ::operator new(size);
  }
  size = roundUp(size);
  Cutter& cutter = threadCutter.cutter;
  if (!cutter.fits(size)) [[unlikely]] {
    return allocateSlow(size);
  }
  return cutter.cutBlock(size);
}

void releaseBlock(void* block, std::size_t size) noexcept {
  if (block == nullptr) {
    return;
  }
  if (!isPooled(size)) {
    ::operator delete(block);
    return;
  }
  countRelease(chunkOf(block), 1);
}

void* allocateChunk(std::size_t size) {
  if (size <= ChunkSize) {
    ChunkHeader* chunk = takeChunk();
    chunk->~ChunkHeader();
    return chunk;
  }
  std::size_t rounded = (size + ChunkSize - 1) & ~(ChunkSize - 1);
  void* memory = platform::allocateBulk(rounded);
  if (memory == nullptr) {
    throw std::bad_alloc();
  }
  return memory;
}

void releaseChunk(void* chunk, std::size_t size) noexcept {
  if (chunk == nullptr) {
    return;
  }
  if (size <= ChunkSize) {
    keepFreeChunk(new (chunk) ChunkHeader);
    return;
  }
  platform::releaseBulk(chunk, (size + ChunkSize - 1) & ~(ChunkSize - 1));
}

std::size_t releaseUnusedBlocks() {
  ChunkHeader* first = nullptr;
  {
    FreeChunks& chunks = freeChunks();
    std::lock_guard<std::mutex> lock(chunks.mutex);
    first = chunks.first;
    chunks.first = nullptr;
    chunks.count = 0;
  }
  std::size_t released = 0;
  while (first != nullptr) {
    ChunkHeader* next = first->nextFree;
    first->~ChunkHeader();
    platform::releaseBulk(first, ChunkSize);
    released += ChunkSize;
    first = next;
  }
  return released;
}

std::size_t prepareBlocks() {
  std::size_t missing = 0;
  {
    FreeChunks& chunks = freeChunks();
    std::lock_guard<std::mutex> lock(chunks.mutex);
    missing = KeptChunks - chunks.count;
  }
  std::size_t added = 0;
  for (; missing > 0; --missing) {
    void* memory = platform::allocateBulk(ChunkSize);
    if (memory == nullptr) {
      break;
    }
    // One write per small page; with a huge page the first does it all.
    volatile char* page = static_cast<char*>(memory);
    for (std::size_t offset = 0; offset < ChunkSize; offset += 4096) {
      page[offset] = 0;
    }
    keepFreeChunk(new (memory) ChunkHeader);  // released at once if others came meanwhile
    added += ChunkSize;
  }
  return added;
}

#else  // the ordinary heap, for AddressSanitizer

void* allocateBlock(std::size_t size) { return ::operator new(size); }

void releaseBlock(void* block, std::size_t) noexcept { ::operator delete(block); }

void* allocateChunk(std::size_t size) { return ::operator new (size, std::align_val_t{64}); }

void releaseChunk(void* chunk, std::size_t) noexcept {
  ::operator delete (chunk, std::align_val_t{64});
}

std::size_t releaseUnusedBlocks() { return 0; }

std::size_t prepareBlocks() { return 0; }

#endif

}  // namespace orbis
