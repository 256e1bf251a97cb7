#include "pool/arena.h"

#include "pool/chunk_pool.h"

namespace orbis {

namespace {

constexpr std::size_t HeaderSize = 16;  // keeps pieces after it 16-byte aligned

}  // namespace

char* Arena::addChunk(std::size_t size) {
  void* memory = allocateChunk(size);
  auto* chunk = static_cast<Chunk*>(memory);
  chunk->size = size;
  chunk->previous = last_;
  last_ = chunk;
  chunkBytes_ += size;
  return static_cast<char*>(memory) + HeaderSize;
}

void* Arena::allocateSlow(std::size_t size) {
  static_assert(sizeof(Chunk) <= HeaderSize);
  if (size > PoolChunkSize / 4) {
    // A chunk of its own, linked behind the one being cut, which goes on.
    Chunk* cutting = last_;
    char* piece = addChunk(HeaderSize + size);
    if (cutting != nullptr) {
      Chunk* own = last_;
      last_ = cutting;
      own->previous = cutting->previous;
      cutting->previous = own;
    }
    return piece;
  }
  char* piece = addChunk(PoolChunkSize);
  next_ = piece + size;
  end_ = reinterpret_cast<char*>(last_) + PoolChunkSize;
  return piece;
}

void Arena::clear() {
  while (last_ != nullptr) {
    Chunk* previous = last_->previous;
    releaseChunk(last_, last_->size);
    last_ = previous;
  }
  next_ = nullptr;
  end_ = nullptr;
  chunkBytes_ = 0;
}

}  // namespace orbis
