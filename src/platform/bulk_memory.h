// Large blocks for pools of small objects, standing in for reserving
// address space from the system directly. Where the system offers huge
// pages, the blocks ask for them: a pool that fills hundreds of megabytes
// then takes one page fault per 2 MB instead of one per 4 KB.
#pragma once

#include <cstddef>

namespace orbis::platform {

// Blocks are aligned to this and should be a multiple of it in size.
constexpr std::size_t BulkAlignment = std::size_t{2} << 20;

// A zero-filled block of size bytes aligned to BulkAlignment, whose pages
// are only backed once touched. Null when the system has no room.
void* allocateBulk(std::size_t size);

// Returns a block from allocateBulk (size as allocated). Accepts null.
void releaseBulk(void* block, std::size_t size);

}  // namespace orbis::platform
