// Memory for tree nodes and attribute records.
//
// A large document holds millions of small nodes and attribute records,
// allocated on the parse thread and freed on another thread once the parse
// has ended. Blocks come from size classes carved out of large slabs; each
// thread keeps its own free lists and trades whole batches with a shared
// pool under a lock, so an allocation or a release normally takes no lock.
// Freed blocks return to the pool and serve the next document; slabs are
// kept for the life of the process.
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

}  // namespace orbis
