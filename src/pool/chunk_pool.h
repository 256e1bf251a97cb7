// The chunk pool: the memory of the stores that hold a page (its tree, its
// lines and runs, the tree builder's indexes), in chunks of 2 MB that each
// store cuts its own records from.
//
// A load builds a tree on one thread while another lays it out, giving the
// tree's chunks back as it goes and taking chunks for the lines. A chunk
// given back is kept for the next one asked for, on any thread, up to a
// number of them; the rest go back to the system. A chunk that comes anew
// from the system costs the zeroing of its pages (one huge page where the
// system has them), which is what keeping them spares.
// releaseUnusedChunks gives back the kept ones too.
//
// Under AddressSanitizer every chunk comes from the ordinary heap instead,
// so that misuse is still caught.
#pragma once

#include <cstddef>

namespace orbis {

constexpr std::size_t PoolChunkSize = std::size_t{2} << 20;

// A chunk of at least size bytes (size above 0), aligned to 64 bytes: one
// of the kept free chunks when size fits in PoolChunkSize, else fresh
// memory from the system. Pages are backed once touched. Throws
// std::bad_alloc when no memory is left.
void* allocateChunk(std::size_t size);

// Gives back a chunk from allocateChunk (size as asked for). Accepts null.
// Any thread may release any chunk.
void releaseChunk(void* chunk, std::size_t size) noexcept;

// Gives every kept free chunk back to the system and returns their bytes
// (0 under AddressSanitizer, where nothing is kept).
std::size_t releaseUnusedChunks();

}  // namespace orbis
