// Size-class pool behind allocateTreeBlock. Sizes are rounded up to a
// multiple of Granule; every class up to LargestPooled has, per thread, a
// free list that is filled and drained BatchLength blocks at a time:
//
//   - allocation pops the thread's current list; when it is empty it takes
//     the thread's held-back full batch, else a batch from the shared pool,
//     else carves a batch from the thread's slab;
//   - release pushes onto the current list; when that holds a full batch it
//     becomes the held-back one, and a batch already held back goes to the
//     shared pool.
//
// Holding one full batch back means a thread that allocates and frees around
// a batch boundary does not trade with the shared pool every time. When a
// thread ends, its lists and the rest of its slab go to the shared pool.
// Blocks are linked through their first word while free. Larger sizes go to
// the ordinary heap. releaseUnusedTreeMemory walks every free block in the
// pool to find the slabs that are wholly free; it is meant for the moments
// after a document's tree is gone, not for every release.
#include "markup/tree_allocator.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>
#include <vector>

#include "platform/bulk_memory.h"

#if defined(__SANITIZE_ADDRESS__)
#define ORBIS_TREE_POOL 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORBIS_TREE_POOL 0
#endif
#endif
#ifndef ORBIS_TREE_POOL
#define ORBIS_TREE_POOL 1
#endif

namespace orbis {

#if ORBIS_TREE_POOL

namespace {

constexpr std::size_t Granule = 8;
constexpr std::size_t LargestPooled = 256;
constexpr std::size_t ClassCount = LargestPooled / Granule;
constexpr uint32_t BatchLength = 128;
// Whole huge pages, so that filling a slab costs a few page faults.
constexpr std::size_t SlabSize = 4 * platform::BulkAlignment;

struct FreeBlock {
  FreeBlock* next;
};

struct Batch {
  FreeBlock* head;
  uint32_t count;
};

struct Region {
  char* begin;
  std::size_t size;
};

// Shared by all threads; every field is guarded by mutex. Never destroyed,
// so that blocks released while the process exits still have a home.
struct SharedPool {
  std::mutex mutex;
  std::vector<Batch> batches[ClassCount];
  std::vector<Region> spareRegions;  // slab rests left by ended threads
  std::vector<Region> scraps;        // rests too small for the block wanted
  std::vector<char*> slabs;          // every slab not given back
  // Bytes in batches, rests and scraps; and what was left of them after the
  // last walk for wholly free slabs.
  std::size_t freeBytes = 0;
  std::size_t freeBytesAfterWalk = 0;
};

SharedPool& sharedPool() {
  static SharedPool* pool = new SharedPool;
  return *pool;
}

// While the thread's cache is not active, current is null and currentCount
// is BatchLength, so that both fast paths turn to the slow ones.
struct ClassCache {
  FreeBlock* current = nullptr;
  uint32_t currentCount = BatchLength;
  FreeBlock* heldBatch = nullptr;  // BatchLength blocks, or null
};

enum class CacheState : uint8_t { Unused, Active, Ended };

// Trivially destructible, so it stays usable while the thread ends; the
// flush at thread end is a separate object (CacheFlush).
struct ThreadCache {
  ClassCache classes[ClassCount];
  Region slab{nullptr, 0};
  CacheState state = CacheState::Unused;
};

thread_local ThreadCache threadCache;

// Class c holds blocks of (c + 1) * Granule bytes. Size 0 wraps around to
// an unpooled size.
std::size_t classOf(std::size_t size) { return (size - 1) / Granule; }
bool isPooled(std::size_t size) { return size - 1 < LargestPooled; }
std::size_t blockSizeOf(std::size_t sizeClass) { return (sizeClass + 1) * Granule; }

void shareBatch(SharedPool& pool, std::size_t sizeClass, FreeBlock* head, uint32_t count) {
  if (head != nullptr) {
    pool.batches[sizeClass].push_back(Batch{head, count});
    pool.freeBytes += count * blockSizeOf(sizeClass);
  }
}

// Hands the thread's lists and slab rest to the pool; the caller holds the
// pool's lock. The lists are left empty (as when inactive), which sends the
// thread's next allocation or release down the slow path.
void moveCacheToPool(ThreadCache& cache, SharedPool& pool) {
  for (std::size_t sizeClass = 0; sizeClass < ClassCount; ++sizeClass) {
    ClassCache& lists = cache.classes[sizeClass];
    shareBatch(pool, sizeClass, lists.current, lists.currentCount);
    shareBatch(pool, sizeClass, lists.heldBatch, BatchLength);
    lists = ClassCache{};
  }
  if (cache.slab.size > 0) {
    pool.spareRegions.push_back(cache.slab);
    pool.freeBytes += cache.slab.size;
  }
  cache.slab = Region{nullptr, 0};
}

void flushThreadCache() {
  SharedPool& pool = sharedPool();
  std::lock_guard<std::mutex> lock(pool.mutex);
  moveCacheToPool(threadCache, pool);
  threadCache.state = CacheState::Ended;
}

struct CacheFlush {
  ~CacheFlush() { flushThreadCache(); }
};

void activate(ThreadCache& cache) {
  static thread_local CacheFlush flush;
  (void)flush;
  for (ClassCache& lists : cache.classes) {
    lists.currentCount = 0;
  }
  cache.state = CacheState::Active;
}

// A slab rest left by an ended thread, else a new slab. The thread's own
// rest is too small for blockSize; it stays on record as a scrap, so that
// its slab can still be seen to be wholly free.
Region takeRegion(SharedPool& pool, std::size_t blockSize, Region rest) {
  std::lock_guard<std::mutex> lock(pool.mutex);
  if (rest.size > 0) {
    pool.scraps.push_back(rest);
    pool.freeBytes += rest.size;
  }
  while (!pool.spareRegions.empty()) {
    Region region = pool.spareRegions.back();
    pool.spareRegions.pop_back();
    if (region.size >= blockSize) {
      pool.freeBytes -= region.size;
      return region;
    }
    pool.scraps.push_back(region);
  }
  char* slab = static_cast<char*>(platform::allocateBulk(SlabSize));
  if (slab == nullptr) {
    throw std::bad_alloc();
  }
  pool.slabs.push_back(slab);
  return Region{slab, SlabSize};
}

// Links as many blocks of the class as the slab has room for, up to a batch.
void carveBatch(ThreadCache& cache, ClassCache& lists, std::size_t sizeClass) {
  std::size_t blockSize = blockSizeOf(sizeClass);
  if (cache.slab.size < blockSize) {
    cache.slab = takeRegion(sharedPool(), blockSize, cache.slab);
  }
  std::size_t count = std::min<std::size_t>(BatchLength, cache.slab.size / blockSize);
  FreeBlock* head = nullptr;
  for (std::size_t i = count; i-- > 0;) {
    FreeBlock* free = reinterpret_cast<FreeBlock*>(cache.slab.begin + i * blockSize);
    free->next = head;
    head = free;
  }
  cache.slab.begin += count * blockSize;
  cache.slab.size -= count * blockSize;
  lists.current = head;
  lists.currentCount = static_cast<uint32_t>(count);
}

// The current list is empty: refills it.
void refill(ThreadCache& cache, ClassCache& lists, std::size_t sizeClass) {
  if (lists.heldBatch != nullptr) {
    lists.current = lists.heldBatch;
    lists.currentCount = BatchLength;
    lists.heldBatch = nullptr;
    return;
  }
  SharedPool& pool = sharedPool();
  {
    std::lock_guard<std::mutex> lock(pool.mutex);
    std::vector<Batch>& batches = pool.batches[sizeClass];
    if (!batches.empty()) {
      lists.current = batches.back().head;
      lists.currentCount = batches.back().count;
      pool.freeBytes -= lists.currentCount * blockSizeOf(sizeClass);
      batches.pop_back();
      return;
    }
  }
  carveBatch(cache, lists, sizeClass);
}

// The current list holds a full batch: makes room on it.
void spill(ClassCache& lists, std::size_t sizeClass) {
  if (lists.heldBatch != nullptr) {
    SharedPool& pool = sharedPool();
    std::lock_guard<std::mutex> lock(pool.mutex);
    shareBatch(pool, sizeClass, lists.heldBatch, BatchLength);
  }
  lists.heldBatch = lists.current;
  lists.current = nullptr;
  lists.currentCount = 0;
}

// After the thread's cache was flushed, blocks go straight to and from the
// shared pool.
void* allocateEnded(std::size_t sizeClass) {
  SharedPool& pool = sharedPool();
  {
    std::lock_guard<std::mutex> lock(pool.mutex);
    std::vector<Batch>& batches = pool.batches[sizeClass];
    if (!batches.empty() && batches.back().count > 0) {
      Batch& batch = batches.back();
      FreeBlock* block = batch.head;
      batch.head = block->next;
      pool.freeBytes -= blockSizeOf(sizeClass);
      if (--batch.count == 0) {
        batches.pop_back();
      }
      return block;
    }
  }
  // Joins the pool when it is released; never given back, like the slabs.
  void* block = std::malloc(blockSizeOf(sizeClass));
  if (block == nullptr) {
    throw std::bad_alloc();
  }
  return block;
}

void releaseEnded(FreeBlock* block, std::size_t sizeClass) {
  SharedPool& pool = sharedPool();
  std::lock_guard<std::mutex> lock(pool.mutex);
  block->next = nullptr;
  shareBatch(pool, sizeClass, block, 1);
}

// The slow paths stay out of line, so that the fast ones need no stack
// frame.
[[gnu::noinline]] void* allocateSlow(ThreadCache& cache, std::size_t sizeClass) {
  if (cache.state == CacheState::Ended) {
    return allocateEnded(sizeClass);
  }
  if (cache.state == CacheState::Unused) {
    activate(cache);
  }
  ClassCache& lists = cache.classes[sizeClass];
  refill(cache, lists, sizeClass);
  FreeBlock* block = lists.current;
  lists.current = block->next;
  --lists.currentCount;
  return block;
}

[[gnu::noinline]] void releaseSlow(ThreadCache& cache, FreeBlock* block, std::size_t sizeClass) {
  if (cache.state == CacheState::Ended) {
    releaseEnded(block, sizeClass);
    return;
  }
  if (cache.state == CacheState::Unused) {
    activate(cache);
  }
  ClassCache& lists = cache.classes[sizeClass];
  if (lists.currentCount == BatchLength) {
    spill(lists, sizeClass);
  }
  block->next = lists.current;
  lists.current = block;
  ++lists.currentCount;
}

constexpr std::size_t NoSlab = static_cast<std::size_t>(-1);

// Finds the slab holding an address, as an index into the slabs sorted by
// address, or NoSlab. The blocks of one list mostly share a slab with the
// block before, so the last slab found is tried first.
class SlabFinder {
public:
  explicit SlabFinder(const std::vector<char*>& sorted) : sorted_(sorted) {}

  std::size_t operator()(const void* address) {
    auto at = reinterpret_cast<std::uintptr_t>(address);
    if (last_ != NoSlab && holds(last_, at)) {
      return last_;
    }
    auto after = std::upper_bound(sorted_.begin(), sorted_.end(), at,
                                  [](std::uintptr_t a, const char* slab) {
                                    return a < reinterpret_cast<std::uintptr_t>(slab);
                                  });
    std::size_t index = static_cast<std::size_t>(after - sorted_.begin());
    if (index == 0 || !holds(index - 1, at)) {
      return NoSlab;
    }
    last_ = index - 1;
    return last_;
  }

private:
  bool holds(std::size_t index, std::uintptr_t at) const {
    auto begin = reinterpret_cast<std::uintptr_t>(sorted_[index]);
    return at >= begin && at - begin < SlabSize;
  }

  const std::vector<char*>& sorted_;
  std::size_t last_ = NoSlab;
};

// Free bytes per slab (sorted by address): free blocks in the pool's
// batches, and slab rests and scraps nobody carves from.
std::vector<std::size_t> countFreeBytes(const SharedPool& pool) {
  std::vector<std::size_t> freeBytes(pool.slabs.size(), 0);
  SlabFinder findSlab(pool.slabs);
  for (std::size_t sizeClass = 0; sizeClass < ClassCount; ++sizeClass) {
    for (const Batch& batch : pool.batches[sizeClass]) {
      for (FreeBlock* block = batch.head; block != nullptr; block = block->next) {
        std::size_t slab = findSlab(block);
        if (slab != NoSlab) {
          freeBytes[slab] += blockSizeOf(sizeClass);
        }
      }
    }
  }
  for (const std::vector<Region>* regions : {&pool.spareRegions, &pool.scraps}) {
    for (const Region& region : *regions) {
      std::size_t slab = findSlab(region.begin);
      if (slab != NoSlab) {
        freeBytes[slab] += region.size;
      }
    }
  }
  return freeBytes;
}

// Relinks the free blocks and rests outside the given slabs into new
// batches, dropping those inside.
void dropSlabsFromLists(SharedPool& pool, const std::vector<bool>& dropped) {
  SlabFinder findSlab(pool.slabs);
  auto keep = [&](const void* address) {
    std::size_t slab = findSlab(address);
    return slab == NoSlab || !dropped[slab];
  };
  for (std::size_t sizeClass = 0; sizeClass < ClassCount; ++sizeClass) {
    std::vector<Batch> kept;
    Batch building{nullptr, 0};
    for (const Batch& batch : pool.batches[sizeClass]) {
      FreeBlock* next = nullptr;
      for (FreeBlock* block = batch.head; block != nullptr; block = next) {
        next = block->next;
        if (!keep(block)) {
          continue;
        }
        block->next = building.head;
        building.head = block;
        if (++building.count == BatchLength) {
          kept.push_back(building);
          building = Batch{nullptr, 0};
        }
      }
    }
    if (building.head != nullptr) {
      kept.push_back(building);
    }
    pool.batches[sizeClass] = std::move(kept);
  }
  for (std::vector<Region>* regions : {&pool.spareRegions, &pool.scraps}) {
    std::vector<Region> rests;
    for (const Region& region : *regions) {
      if (keep(region.begin)) {
        rests.push_back(region);
      }
    }
    *regions = std::move(rests);
  }
}

}  // namespace

std::size_t releaseUnusedTreeMemory() {
  SharedPool& pool = sharedPool();
  std::lock_guard<std::mutex> lock(pool.mutex);
  if (threadCache.state == CacheState::Active) {
    moveCacheToPool(threadCache, pool);
  }
  // A walk takes time in proportion to the free blocks, and blocks whose
  // slabs stay in use are walked again each time. Walking only once the free
  // memory has doubled since the last walk keeps frequent calls linear.
  if (pool.freeBytes < SlabSize || pool.freeBytes < 2 * pool.freeBytesAfterWalk) {
    return 0;
  }
  std::sort(pool.slabs.begin(), pool.slabs.end());
  std::vector<std::size_t> freeBytes = countFreeBytes(pool);
  std::vector<bool> dropped(pool.slabs.size(), false);
  std::size_t droppedCount = 0;
  for (std::size_t slab = 0; slab < pool.slabs.size(); ++slab) {
    if (freeBytes[slab] == SlabSize) {
      dropped[slab] = true;
      ++droppedCount;
    }
  }
  std::size_t releasedBytes = droppedCount * SlabSize;
  pool.freeBytes -= releasedBytes;  // every byte of a dropped slab was free
  pool.freeBytesAfterWalk = pool.freeBytes;
  if (droppedCount == 0) {
    return 0;
  }
  dropSlabsFromLists(pool, dropped);
  std::vector<char*> kept;
  for (std::size_t slab = 0; slab < pool.slabs.size(); ++slab) {
    if (dropped[slab]) {
      platform::releaseBulk(pool.slabs[slab], SlabSize);
    } else {
      kept.push_back(pool.slabs[slab]);
    }
  }
  pool.slabs = std::move(kept);
  return releasedBytes;
}

void* allocateTreeBlock(std::size_t size) {
  if (!isPooled(size)) {
    return ::operator new(size);
  }
  std::size_t sizeClass = classOf(size);
  ThreadCache& cache = threadCache;
  ClassCache& lists = cache.classes[sizeClass];
  FreeBlock* block = lists.current;
  if (block == nullptr) [[unlikely]] {
    return allocateSlow(cache, sizeClass);
  }
  lists.current = block->next;
  --lists.currentCount;
  return block;
}

void releaseTreeBlock(void* block, std::size_t size) noexcept {
  if (block == nullptr) {
    return;
  }
  if (!isPooled(size)) {
    ::operator delete(block);
    return;
  }
  std::size_t sizeClass = classOf(size);
  FreeBlock* free = static_cast<FreeBlock*>(block);
  ThreadCache& cache = threadCache;
  ClassCache& lists = cache.classes[sizeClass];
  if (lists.currentCount == BatchLength) [[unlikely]] {
    releaseSlow(cache, free, sizeClass);
    return;
  }
  free->next = lists.current;
  lists.current = free;
  ++lists.currentCount;
}

#else  // the ordinary heap, for AddressSanitizer

void* allocateTreeBlock(std::size_t size) { return ::operator new(size); }

void releaseTreeBlock(void* block, std::size_t) noexcept { ::operator delete(block); }

std::size_t releaseUnusedTreeMemory() { return 0; }

#endif

}  // namespace orbis
