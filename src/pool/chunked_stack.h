// A stack of small values in pool chunks: it grows a chunk at a time, never
// copies what it holds, and its memory is backed a chunk (a huge page where
// the system has them) per page fault. For the tree builder's indexes and
// a document's line records, which hold an entry per element or line of a
// page that may have millions.
#pragma once

#include <cstddef>
#include <type_traits>
#include <vector>

#include "pool/chunk_pool.h"

namespace orbis {

template <typename T>
class ChunkedStack {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

public:
  static constexpr std::size_t PerChunk = PoolChunkSize / sizeof(T);

  ChunkedStack() = default;
  ~ChunkedStack() { clear(); }
  ChunkedStack(const ChunkedStack&) = delete;
  ChunkedStack& operator=(const ChunkedStack&) = delete;

  bool empty() const { return size_ == 0; }
  std::size_t size() const { return size_; }
  T& operator[](std::size_t index) { return chunks_[index / PerChunk][index % PerChunk]; }
  const T& at(std::size_t index) const { return chunks_[index / PerChunk][index % PerChunk]; }
  T& back() { return (*this)[size_ - 1]; }

  // Throws std::bad_alloc when memory runs out; the stack is as it was.
  void push_back(const T& value) {
    if (size_ == chunks_.size() * PerChunk) addChunk();
    (*this)[size_] = value;
    ++size_;
  }
  void pop_back() { --size_; }

  // Empties the stack and gives its chunks back.
  void clear() {
    for (T* chunk : chunks_) releaseChunk(chunk, PoolChunkSize);
    chunks_ = {};
    size_ = 0;
  }

private:
  void addChunk() {
    chunks_.reserve(chunks_.size() + 1);
    chunks_.push_back(static_cast<T*>(allocateChunk(PoolChunkSize)));
  }

  std::vector<T*> chunks_;
  std::size_t size_ = 0;
};

}  // namespace orbis
