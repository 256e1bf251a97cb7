#include "pool/chunk_pool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "pool/arena.h"
#include "pool/chunked_stack.h"

namespace orbis {
namespace {

struct Chunk {
  unsigned char* bytes;
  std::size_t size;
  unsigned char mark;
};

// Marks the first and the last bytes of each page of the chunk, which is
// where a wrong overlap or an early release would show.
void mark(const Chunk& chunk) {
  for (std::size_t at = 0; at < chunk.size; at += 4096) chunk.bytes[at] = chunk.mark;
  chunk.bytes[chunk.size - 1] = chunk.mark;
}
bool intact(const Chunk& chunk) {
  for (std::size_t at = 0; at < chunk.size; at += 4096) {
    if (chunk.bytes[at] != chunk.mark) return false;
  }
  return chunk.bytes[chunk.size - 1] == chunk.mark;
}

std::vector<Chunk> takeMarked(std::size_t count, unsigned char seed) {
  std::vector<Chunk> chunks;
  for (std::size_t i = 0; i < count; ++i) {
    // Mostly whole pool chunks, some smaller, some larger than one.
    std::size_t size = i % 7 == 3 ? 5 * PoolChunkSize + 100 : PoolChunkSize - (i % 3) * 1000;
    auto* bytes = static_cast<unsigned char*>(allocateChunk(size));
    chunks.push_back({bytes, size, static_cast<unsigned char>(seed + i)});
    mark(chunks.back());
  }
  return chunks;
}

void giveBack(const std::vector<Chunk>& chunks) {
  for (const Chunk& chunk : chunks) releaseChunk(chunk.bytes, chunk.size);
}

// Chunks taken on one thread and given back on another, several pairs at
// once, round after round: each is whole, aligned, and one owner's only.
TEST(ChunkPoolTest, ChunksCrossThreadsWhole) {
  constexpr int Pairs = 3;
  constexpr int Rounds = 10;
  std::vector<std::thread> threads;
  std::vector<int> failures(Pairs, 0);
  for (int pair = 0; pair < Pairs; ++pair) {
    threads.emplace_back([pair, &failures] {
      for (int round = 0; round < Rounds; ++round) {
        std::vector<Chunk> chunks;
        std::thread maker([&] { chunks = takeMarked(12, static_cast<unsigned char>(pair * 50)); });
        maker.join();
        for (const Chunk& chunk : chunks) {
          bool aligned = reinterpret_cast<std::uintptr_t>(chunk.bytes) % 64 == 0;
          if (!intact(chunk) || !aligned) ++failures[pair];
        }
        std::thread releaser([&] { giveBack(chunks); });
        releaser.join();
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(Pairs, 0));
  releaseChunk(nullptr, PoolChunkSize);  // accepted, does nothing
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

// A long-running viewer loads document after document: chunks given back
// are kept for the next ones, up to a limit, the rest go back to the
// system at once, and the kept ones go on request.
TEST(ChunkPoolTest, KeptChunksServeTheNextAndTheRestGoBack) {
  if (!Pooled) GTEST_SKIP() << "chunks come from the ordinary heap";
  releaseUnusedChunks();
  std::vector<Chunk> large = takeMarked(60, 1);  // about 200 MB
  std::vector<Chunk> kept = takeMarked(2, 9);
  std::size_t before = residentBytes();
  giveBack(large);
  std::size_t after = residentBytes();
  EXPECT_GE(before, after + (std::size_t{100} << 20));

  std::set<unsigned char*> given;
  for (const Chunk& chunk : large) given.insert(chunk.bytes);
  std::vector<Chunk> next;
  for (int i = 0; i < 8; ++i) {
    next.push_back({static_cast<unsigned char*>(allocateChunk(PoolChunkSize)), PoolChunkSize,
                    static_cast<unsigned char>(i)});
    EXPECT_EQ(given.count(next.back().bytes), 1u) << "chunk " << i << " is new";
    mark(next.back());
  }
  giveBack(next);
  std::size_t leftOver = releaseUnusedChunks();
  EXPECT_GT(leftOver, 0u);
  EXPECT_LE(leftOver, std::size_t{64} << 20);
  EXPECT_EQ(releaseUnusedChunks(), 0u);
  for (const Chunk& chunk : kept) EXPECT_TRUE(intact(chunk));
  giveBack(kept);
}

// Pieces of an arena stay where they are and keep their bytes while many
// more are cut, small and large, at every alignment asked for.
TEST(ChunkPoolTest, ArenaPiecesStayPut) {
  std::mt19937 random(5);
  Arena arena;
  struct Piece {
    char* bytes;
    std::size_t size;
    char mark;
  };
  std::vector<Piece> pieces;
  for (int i = 0; i < 20000; ++i) {
    std::size_t size = i % 997 == 0 ? PoolChunkSize / 2 + random() % 1000 : random() % 300;
    std::size_t alignment = std::size_t{1} << (random() % 5);
    auto* bytes = static_cast<char*>(arena.allocate(size, alignment));
    ASSERT_EQ(reinterpret_cast<std::uintptr_t>(bytes) % alignment, 0u);
    auto piece = Piece{bytes, size, static_cast<char>(i)};
    std::memset(bytes, piece.mark, size);
    pieces.push_back(piece);
  }
  bool whole = true;
  for (const Piece& piece : pieces) {
    for (std::size_t i = 0; i < piece.size; ++i) whole = whole && piece.bytes[i] == piece.mark;
  }
  EXPECT_TRUE(whole);
  EXPECT_GT(arena.chunkBytes(), 0u);
  arena.clear();
  EXPECT_EQ(arena.chunkBytes(), 0u);
}

TEST(ChunkPoolTest, ChunkedStackHoldsValuesAcrossChunks) {
  ChunkedStack<uint64_t> stack;
  const std::size_t count = 3 * ChunkedStack<uint64_t>::PerChunk + 5;
  for (std::size_t i = 0; i < count; ++i) stack.push_back(i * 3);
  ASSERT_EQ(stack.size(), count);
  bool held = true;
  for (std::size_t i = 0; i < count; i += 977) held = held && stack.at(i) == i * 3;
  EXPECT_TRUE(held);
  for (std::size_t i = count; i > 10; --i) {
    held = held && stack.back() == (i - 1) * 3;
    stack.pop_back();
  }
  EXPECT_TRUE(held);
  stack.push_back(99);
  EXPECT_EQ(stack.back(), 99u);
  EXPECT_EQ(stack.size(), 11u);
  stack.clear();
  EXPECT_TRUE(stack.empty());
}

}  // namespace
}  // namespace orbis
