// Memory for tree nodes and attribute records.
//
// A large document holds millions of small nodes and attribute records,
// allocated on the parse thread and freed on another thread once the parse
// has ended. Blocks come from size classes carved out of large slabs; each
// thread keeps its own free lists and trades whole batches with a shared
// pool under a lock, so an allocation or a release normally takes no lock.
// Freed blocks return to the pool and serve the next document; slabs go
// back to the system only through releaseUnusedTreeMemory.
//
// Under AddressSanitizer every block comes from the ordinary heap instead,
// so that misuse is still caught.
#pragma once

#include <cstddef>

namespace orbis {

// A block of at least size bytes, aligned for any pointer. Throws
// std::bad_alloc when no memory is left.
void* allocateTreeBlock(std::size_t size);

// Releases a block from allocateTreeBlock; size must be the size it was
// allocated with. Accepts null. Any thread may release any block.
void releaseTreeBlock(void* block, std::size_t size) noexcept;

// Gives every slab none of whose blocks is in use back to the system, after
// handing the calling thread's own free blocks to the shared pool. Blocks
// cached by other running threads keep their slabs. Finding the slabs walks
// every free block, so a call does nothing unless the pool's free memory
// has at least doubled since the last walk: called after every so many
// nodes of a tree being destroyed, the calls together stay linear. Returns
// the bytes given back (0 under AddressSanitizer, where nothing is pooled).
std::size_t releaseUnusedTreeMemory();

}  // namespace orbis
