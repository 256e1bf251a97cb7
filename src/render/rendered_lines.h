// Where a document keeps its lines: every run of the page in one sequence
// of flat records, cut into pool chunks of equal size so that a run is
// found by its index in constant time, each line a range of that sequence
// with its text in one piece of an arena. Layout appends a line once it is
// final and never changes one afterwards, but for the links between the
// pieces of a split run; the host side only reads.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "pool/arena.h"
#include "pool/chunk_pool.h"
#include "pool/chunked_stack.h"
#include "render/rendered_text.h"

namespace orbis {

class RenderedLines {
public:
  static constexpr uint32_t RunsPerChunk = PoolChunkSize / sizeof(TextRun);

  class Iterator {
  public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = RenderedLine;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = RenderedLine;

    Iterator(const RenderedLines* lines, std::size_t index) : lines_(lines), index_(index) {}
    RenderedLine operator*() const { return (*lines_)[index_]; }
    Iterator& operator++() {
      ++index_;
      return *this;
    }
    friend bool operator==(const Iterator& a, const Iterator& b) { return a.index_ == b.index_; }

  private:
    const RenderedLines* lines_;
    std::size_t index_;
  };

  RenderedLines() = default;
  ~RenderedLines() { clear(); }
  RenderedLines(const RenderedLines&) = delete;
  RenderedLines& operator=(const RenderedLines&) = delete;

  std::size_t size() const { return lines_.size(); }
  bool empty() const { return lines_.empty(); }
  RenderedLine operator[](std::size_t index) const {
    const LineRecord& line = lines_.at(index);
    uint32_t next = index + 1 < lines_.size() ? lines_.at(index + 1).firstRun : runCount_;
    return {RunRange(this, line.firstRun, next - line.firstRun), {line.text, line.textLength}};
  }
  RenderedLine back() const { return (*this)[lines_.size() - 1]; }
  Iterator begin() const { return Iterator(this, 0); }
  Iterator end() const { return Iterator(this, lines_.size()); }

  uint32_t runCount() const { return runCount_; }
  const TextRun& run(uint32_t index) const {
    return runChunks_[index / RunsPerChunk][index % RunsPerChunk];
  }
  TextRun& run(uint32_t index) { return runChunks_[index / RunsPerChunk][index % RunsPerChunk]; }

  // Appends a line of runs, numbered and linked as they are to stay, and
  // its text, which is the runs' texts side by side. Throws std::bad_alloc
  // when memory runs out, or when the runs would outnumber their 32-bit
  // indices; the lines before stay as they were.
  void append(std::span<const TextRun> runs, std::string_view text);

  // Forgets every line and gives its memory back.
  void clear();

private:
  struct LineRecord {
    const char* text;
    uint32_t firstRun;
    uint32_t textLength;
  };

  ChunkedStack<LineRecord> lines_;
  std::vector<TextRun*> runChunks_;
  uint32_t runCount_ = 0;
  Arena text_;
};

inline const TextRun& RunRange::Iterator::operator*() const { return lines_->run(index_); }

}  // namespace orbis
