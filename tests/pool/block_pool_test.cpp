#include "pool/block_pool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace orbis {
namespace {

struct Block {
  unsigned char* bytes;
  std::size_t size;
  unsigned char mark;
};

std::vector<Block> allocateMarked(std::size_t count, std::size_t firstSize, std::size_t lastSize,
                                  unsigned char seed) {
  std::vector<Block> blocks;
  for (std::size_t i = 0; i < count; ++i) {
    std::size_t size = firstSize + i % (lastSize - firstSize + 1);
    auto* bytes = static_cast<unsigned char*>(allocateBlock(size));
    auto mark = static_cast<unsigned char>(seed + i * 7);
    std::memset(bytes, mark, size);
    blocks.push_back(Block{bytes, size, mark});
  }
  return blocks;
}

// True when every block still holds its own mark in every byte.
bool marksIntact(const std::vector<Block>& blocks) {
  for (const Block& block : blocks) {
    for (std::size_t i = 0; i < block.size; ++i) {
      if (block.bytes[i] != block.mark) {
        return false;
      }
    }
  }
  return true;
}

void releaseAll(const std::vector<Block>& blocks) {
  for (const Block& block : blocks) {
    releaseBlock(block.bytes, block.size);
  }
}

// Blocks of every size, small and past the pooled sizes, released and taken
// again in between: none may overlap another live one, and each is aligned
// for the pointers that nodes and attribute records hold.
TEST(BlockPoolTest, LiveBlocksNeverOverlap) {
  std::vector<Block> first = allocateMarked(5000, 1, 300, 1);
  std::vector<Block> half;
  for (std::size_t i = 0; i < first.size(); ++i) {
    if (i % 2 == 0) {
      releaseBlock(first[i].bytes, first[i].size);
    } else {
      half.push_back(first[i]);
    }
  }
  std::vector<Block> second = allocateMarked(5000, 1, 300, 2);
  EXPECT_TRUE(marksIntact(half));
  EXPECT_TRUE(marksIntact(second));
  for (const Block& block : second) {
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block.bytes) % alignof(void*), 0u);
  }
  releaseAll(half);
  releaseAll(second);
  releaseBlock(nullptr, 16);  // accepted, does nothing
}

// Blocks taken on one thread and released on another, several pairs at
// once, round after round: the shared pool hands every block to one owner.
TEST(BlockPoolTest, BlocksCrossThreads) {
  constexpr int Pairs = 3;
  constexpr int Rounds = 20;
  std::vector<std::thread> threads;
  std::vector<int> failures(Pairs, 0);
  for (int pair = 0; pair < Pairs; ++pair) {
    threads.emplace_back([pair, &failures] {
      for (int round = 0; round < Rounds; ++round) {
        std::vector<Block> blocks;
        std::thread maker([&] {
          blocks = allocateMarked(3000, 24, 90, static_cast<unsigned char>(pair + round));
        });
        maker.join();
        if (!marksIntact(blocks)) {
          ++failures[pair];
        }
        std::thread releaser([&] { releaseAll(blocks); });
        releaser.join();
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(failures, std::vector<int>(Pairs, 0));
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool Pooled = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool Pooled = false;
#else
constexpr bool Pooled = true;
#endif
#else
constexpr bool Pooled = true;
#endif

// Resident memory of this process, from /proc.
std::size_t residentBytes() {
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0;
  std::size_t resident = 0;
  statm >> pages >> resident;
  return resident * 4096;
}

// A long-running viewer loads document after document: once a large tree
// is gone its memory goes back to the system, but for a few megabytes kept
// for the next blocks, while blocks still in use keep theirs.
TEST(BlockPoolTest, UnusedChunksGoBackToTheSystem) {
  if (!Pooled) {
    GTEST_SKIP() << "blocks come from the ordinary heap";
  }
  releaseUnusedBlocks();
  std::vector<Block> large;
  std::thread maker([&] { large = allocateMarked(400'000, 56, 88, 6); });  // about 29 MB
  maker.join();
  std::vector<Block> kept = allocateMarked(1000, 16, 40, 5);
  std::size_t before = residentBytes();
  releaseAll(large);
  std::size_t after = residentBytes();
  EXPECT_GE(before, after + (std::size_t{20} << 20));
  std::size_t leftOver = releaseUnusedBlocks();
  EXPECT_GT(leftOver, 0u);
  EXPECT_LE(leftOver, std::size_t{16} << 20);
  // Reading these after a wrong release would fault.
  EXPECT_TRUE(marksIntact(kept));
  std::vector<Block> again = allocateMarked(300'000, 56, 88, 7);
  EXPECT_TRUE(marksIntact(kept));
  releaseAll(again);
  releaseAll(kept);
}

// Memory prepared by a waiting thread is what the next blocks are cut from,
// and it is not taken twice.
TEST(BlockPoolTest, PreparedMemoryServesTheNextChunks) {
  if (!Pooled) {
    GTEST_SKIP() << "blocks come from the ordinary heap";
  }
  releaseUnusedBlocks();
  std::size_t prepared = prepareBlocks();
  EXPECT_GT(prepared, 0u);
  EXPECT_EQ(prepareBlocks(), 0u);  // already topped up
  std::vector<Block> blocks;
  std::thread worker([&] { blocks = allocateMarked(10'000, 64, 64, 3); });  // within one chunk
  worker.join();
  EXPECT_TRUE(marksIntact(blocks));
  std::size_t left = releaseUnusedBlocks();
  EXPECT_LT(left, prepared);  // the worker took one of them
  EXPECT_GT(left, 0u);
  releaseAll(blocks);
}

std::set<unsigned char*> addressesOf(const std::vector<Block>& blocks) {
  std::set<unsigned char*> addresses;
  for (const Block& block : blocks) {
    addresses.insert(block.bytes);
  }
  return addresses;
}

std::size_t countReused(const std::vector<Block>& blocks, const std::set<unsigned char*>& freed) {
  std::size_t reused = 0;
  for (const Block& block : blocks) {
    reused += freed.count(block.bytes);
  }
  return reused;
}

// The 4 KB pages the blocks lie on.
std::set<std::uintptr_t> pagesOf(const std::vector<Block>& blocks) {
  std::set<std::uintptr_t> pages;
  for (const Block& block : blocks) {
    pages.insert(reinterpret_cast<std::uintptr_t>(block.bytes) / 4096);
  }
  return pages;
}

// Each document is parsed on a new worker and freed on another thread: the
// next worker must get that memory back rather than take more.
TEST(BlockPoolTest, NextWorkerReusesFreedBlocks) {
  if (!Pooled) {
    GTEST_SKIP() << "blocks come from the ordinary heap";
  }
  constexpr std::size_t Count = 20'000;
  std::vector<Block> first;
  std::thread firstWorker([&] { first = allocateMarked(Count, 72, 72, 1); });
  firstWorker.join();
  std::set<unsigned char*> freed = addressesOf(first);
  releaseAll(first);
  std::vector<Block> second;
  std::thread secondWorker([&] { second = allocateMarked(Count, 72, 72, 2); });
  secondWorker.join();
  EXPECT_GE(countReused(second, freed), Count * 9 / 10);
  releaseAll(second);
}

// Layout releases the tree in about the order it was built while it makes
// runs of other sizes: the runs must be cut from the tree's freed memory,
// not from new memory on top of it. An element stays in use until its
// subtree is done, so here every 1000th block lives 5000 blocks longer.
TEST(BlockPoolTest, BlocksReleasedInOrderServeNewBlocksOfOtherSizes) {
  if (!Pooled) {
    GTEST_SKIP() << "blocks come from the ordinary heap";
  }
  releaseUnusedBlocks();                  // so that only the tree's chunks come free
  constexpr std::size_t Count = 400'000;  // about 14 chunks
  constexpr std::size_t Lag = 5000;
  std::vector<Block> tree;
  std::thread parser([&] { tree = allocateMarked(Count, 64, 72, 3); });
  parser.join();
  std::set<std::uintptr_t> treePages = pagesOf(tree);
  std::vector<Block> runs;
  bool ancestorsIntact = true;
  for (std::size_t i = 0; i < Count + Lag; ++i) {
    if (i < Count && i % 1000 != 0) {
      releaseBlock(tree[i].bytes, tree[i].size);
    }
    if (i >= Lag && (i - Lag) % 1000 == 0) {
      ancestorsIntact = ancestorsIntact && marksIntact({tree[i - Lag]});
      releaseBlock(tree[i - Lag].bytes, tree[i - Lag].size);
    }
    if (i < Count && i % 2 == 1) {
      runs.push_back(allocateMarked(1, 80, 80, static_cast<unsigned char>(i)).front());
    }
  }
  EXPECT_TRUE(ancestorsIntact);
  EXPECT_TRUE(marksIntact(runs));
  // The runs need about 60% of the tree's memory. Only the rest of the
  // chunk this thread was cutting from, and one new chunk before the
  // tree's first comes free, may lie outside it: about 52,000 of 200,000.
  std::size_t onTreePages = 0;
  for (const Block& run : runs) {
    onTreePages += treePages.count(reinterpret_cast<std::uintptr_t>(run.bytes) / 4096);
  }
  EXPECT_GE(onTreePages * 10, runs.size() * 7);
  releaseAll(runs);
}

// Other thread-local destructors may still build or drop nodes after the
// thread's own chunk was handed on: those blocks must be as good as any.
TEST(BlockPoolTest, BlocksTakenWhileAThreadEnds) {
  static std::vector<Block> late;
  struct LateUser {
    ~LateUser() {
      std::vector<Block> dropped = allocateMarked(500, 8, 200, 4);
      releaseAll(dropped);
      late = allocateMarked(20'000, 8, 200, 9);
    }
  };
  std::thread worker([] {
    static thread_local LateUser user;  // made first, so destroyed last
    (void)user;
    releaseAll(allocateMarked(100, 16, 64, 1));
  });
  worker.join();
  EXPECT_TRUE(marksIntact(late));
  std::vector<Block> after = allocateMarked(1000, 16, 64, 2);
  EXPECT_TRUE(marksIntact(late));
  releaseAll(late);
  releaseAll(after);
  late.clear();
}

// Containers over the allocator hold their elements through growth, from
// small pooled blocks to ones past the pooled sizes and back.
TEST(BlockPoolTest, ContainersKeepTheirElements) {
  std::vector<uint64_t, BlockAllocator<uint64_t>> numbers;
  for (uint64_t i = 0; i < 5000; ++i) {
    numbers.push_back(i * 7);
    if (i % 100 == 99) {
      numbers.shrink_to_fit();
    }
  }
  bool intact = true;
  for (uint64_t i = 0; i < numbers.size(); ++i) {
    intact = intact && numbers[i] == i * 7;
  }
  EXPECT_TRUE(intact);
  numbers.resize(3);
  numbers.shrink_to_fit();
  EXPECT_EQ(numbers, (std::vector<uint64_t, BlockAllocator<uint64_t>>{0, 7, 14}));
}

}  // namespace
}  // namespace orbis
