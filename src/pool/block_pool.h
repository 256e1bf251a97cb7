// The block pool: memory for the many small objects of a page (tree nodes,
// attribute records, rendered runs and lines), shared by every layer.
//
// A large document holds millions of small blocks, allocated on the parse
// thread in document order and freed on another thread, again mostly in
// document order, while layout walks the tree. Blocks are cut one after the
// other from chunks of a few megabytes, and each chunk counts the blocks
// still in use in it; the release of the last one frees the whole chunk.
// Freeing a tree as it is laid out therefore frees its chunks one by one,
// and the runs made meanwhile are cut from those same chunks, so the tree
// and the lines never both hold the whole page. A block freed while others
// of its chunk are still in use is not reused on its own.
//
// A few free chunks are kept for the next blocks, the rest go back to the
// system at once; releaseUnusedBlocks gives back the kept ones too.
//
// Under AddressSanitizer every block comes from the ordinary heap instead,
// so that misuse is still caught.
#pragma once

#include <cstddef>

namespace orbis {

// A block of at least size bytes, aligned for any pointer. Throws
// std::bad_alloc when no memory is left.
void* allocateBlock(std::size_t size);

// Releases a block from allocateBlock; size must be the size it was
// allocated with. Accepts null. Any thread may release any block.
void releaseBlock(void* block, std::size_t size) noexcept;

// Gives every kept free chunk back to the system and returns their bytes
// (0 under AddressSanitizer, where nothing is pooled). Chunks that still
// hold a block in use, or that a thread is cutting blocks from, stay.
std::size_t releaseUnusedBlocks();

// Tops the kept free chunks up to the most that are kept (a few megabytes),
// taking new ones from the system and touching them so that their pages
// are backed now. Meant for a thread that waits while another builds a
// tree: the page faults then happen here, off the builder's path. Returns
// the bytes added (0 under AddressSanitizer).
std::size_t prepareBlocks();

// The size of the chunks that blocks are cut from. Stores that cut their
// own records (a tree, the lines of a page) take whole chunks instead.
constexpr std::size_t PoolChunkSize = std::size_t{2} << 20;

// A chunk of at least size bytes (size above 0), aligned to 64 bytes: one
// of the kept free chunks when size fits in PoolChunkSize, else fresh
// memory from the system. Pages are backed once touched. Throws
// std::bad_alloc when no memory is left.
void* allocateChunk(std::size_t size);

// Gives back a chunk from allocateChunk (size as asked for). Accepts null.
// Any thread may release any chunk; a small one joins the kept free chunks
// while there is room among them, so that the next store takes it without
// new page faults.
void releaseChunk(void* chunk, std::size_t size) noexcept;

// A standard allocator over allocateBlock, for the containers of the
// rendered lines: their memory then comes from the chunks the tree leaves
// (backed by huge pages where the system has them) rather than from the
// ordinary heap page by page. Memory a growing container leaves behind is
// not reused until its chunk is free, so such containers should reserve.
template <typename T>
struct BlockAllocator {
  using value_type = T;
  BlockAllocator() = default;
  template <typename U>
  BlockAllocator(const BlockAllocator<U>&) noexcept {}
  T* allocate(std::size_t count) { return static_cast<T*>(allocateBlock(count * sizeof(T))); }
  void deallocate(T* block, std::size_t count) noexcept { releaseBlock(block, count * sizeof(T)); }
  friend bool operator==(const BlockAllocator&, const BlockAllocator&) { return true; }
};

}  // namespace orbis
