#include "render/rendered_lines.h"

#include <cstring>
#include <limits>
#include <new>

namespace orbis {

void RenderedLines::append(std::span<const TextRun> runs, std::string_view text) {
  if (runs.size() > std::numeric_limits<uint32_t>::max() - runCount_) throw std::bad_alloc();
  // Everything that can fail comes before anything changes.
  const std::size_t chunksNeeded = (runCount_ + runs.size() + RunsPerChunk - 1) / RunsPerChunk;
  runChunks_.reserve(chunksNeeded);
  while (runChunks_.size() < chunksNeeded) {
    runChunks_.push_back(static_cast<TextRun*>(allocateChunk(PoolChunkSize)));
  }
  char* bytes = static_cast<char*>(text_.allocate(text.size()));
  lines_.push_back(LineRecord{bytes, runCount_, static_cast<uint32_t>(text.size())});

  if (!text.empty()) std::memcpy(bytes, text.data(), text.size());
  std::size_t copied = 0;
  while (copied < runs.size()) {
    uint32_t slot = runCount_ % RunsPerChunk;
    std::size_t count = std::min<std::size_t>(runs.size() - copied, RunsPerChunk - slot);
    std::memcpy(&runChunks_[runCount_ / RunsPerChunk][slot], runs.data() + copied,
                count * sizeof(TextRun));
    copied += count;
    runCount_ += static_cast<uint32_t>(count);
  }
}

void RenderedLines::clear() {
  for (TextRun* chunk : runChunks_) releaseChunk(chunk, PoolChunkSize);
  runChunks_ = {};
  runCount_ = 0;
  lines_.clear();
  text_.clear();
}

}  // namespace orbis
