// Zero-filled allocation standing in for the Windows global heap. Memory
// handed to the host and large scratch buffers come from here.
#pragma once

#include <cstddef>

namespace orbis::platform {

// Returns null when the allocation fails.
void* globalAllocZeroed(std::size_t size);
// Accepts null.
void globalFree(void* block);

}  // namespace orbis::platform
