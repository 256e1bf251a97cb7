// An arena: pieces of memory cut one after the other from pool chunks, for
// data that is written once and kept as long as its owner (the lines of a
// page and their text, the targets of its links). Pieces never move and are
// not released one by one; clear() gives every chunk back at once.
//
// A piece larger than a quarter of a chunk gets a chunk of its own, so that
// the rest of the chunk being cut stays in use.
#pragma once

#include <cstddef>

namespace orbis {

class Arena {
public:
  Arena() = default;
  ~Arena() { clear(); }
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;

  // Room for size bytes at a multiple of alignment (a power of two, at most
  // 16). Throws std::bad_alloc when no memory is left.
  void* allocate(std::size_t size, std::size_t alignment = 1) {
    std::size_t skip =
        static_cast<std::size_t>(-reinterpret_cast<std::ptrdiff_t>(next_)) & (alignment - 1);
    if (size + skip <= static_cast<std::size_t>(end_ - next_)) {
      char* piece = next_ + skip;
      next_ = piece + size;
      return piece;
    }
    return allocateSlow(size);
  }

  // Gives every chunk back; what was allocated is gone.
  void clear();

  // Bytes taken from the pool, for tests and benchmarks.
  std::size_t chunkBytes() const { return chunkBytes_; }

private:
  struct Chunk {
    Chunk* previous;
    std::size_t size;
  };

  void* allocateSlow(std::size_t size);
  char* addChunk(std::size_t size);

  Chunk* last_ = nullptr;
  char* next_ = nullptr;
  char* end_ = nullptr;
  std::size_t chunkBytes_ = 0;
};

}  // namespace orbis
