// The rendered text model: lines of runs, each run a piece of text in one
// colour pair, placed left to right from column 0 with no gaps. A run split
// by layout (at a wrap, or at a line feed in preformatted text) stays linked
// to its other pieces, so that a link broken over several lines is still
// one link; a piece lies on a later line than the piece before it. After
// load the model is read-only.
//
// A large page has millions of runs, so a run is a small flat record: its
// text is its columns of its line's text, its colours (console colours,
// 0 to 15) are packed into one number, and its link's target is an index
// into the document's LinkTargets, which keeps each distinct target once.
#pragma once

#include <cstdint>
#include <iterator>
#include <string_view>

#include "config/colors.h"

namespace orbis {

enum class Alignment : int32_t { Left = 0, Right = 1, Center = 2 };

// What a run is: plain text, or a piece of a link.
enum class RunKind : uint8_t { Text = 1, Link = 2 };

enum RunFlags : uint8_t {
  // The links between the pieces of one split run:
  PreviousPiece = 1,  // a piece of the same run comes before this one, on an earlier line
  NextPiece = 2,      // and one after it, on a later line
  // The blanks that right or centre alignment puts in front of a line: in
  // the document's normal colours as the page left them (Document::colorsOf).
  Padding = 4,
};

// Colours and active colours of a run, each console colour in 4 bits.
constexpr uint16_t packColors(ColorPair colors, ColorPair active = {0, 0}) {
  return static_cast<uint16_t>(((active.background & 15) << 12) | ((active.foreground & 15) << 8) |
                               ((colors.background & 15) << 4) | (colors.foreground & 15));
}
constexpr ColorPair unpackColors(uint16_t packed) { return {(packed >> 4) & 15, packed & 15}; }
constexpr ColorPair unpackActiveColors(uint16_t packed) {
  return {(packed >> 12) & 15, (packed >> 8) & 15};
}

struct TextRun {
  int32_t start = 0;  // first column
  int32_t end = -1;   // last column (inclusive)
  // The document-wide index of the first piece of this run's chain (its
  // own index when it is the first): the pieces of one link share it, so a
  // piece is known to belong to a link without walking the link, however
  // many lines it wraps over.
  uint32_t firstPiece = 0;
  uint32_t target = 0;  // a link's href: its index in the document's LinkTargets
  uint16_t colors = 0;  // packColors of its colours and, for a link, its active colours
  RunKind kind = RunKind::Text;
  uint8_t flags = 0;  // RunFlags

  bool isLink() const { return kind == RunKind::Link; }
  bool hasPreviousPiece() const { return (flags & PreviousPiece) != 0; }
  bool hasNextPiece() const { return (flags & NextPiece) != 0; }
  bool isPadding() const { return (flags & Padding) != 0; }
  int32_t length() const { return end - start + 1; }
};

class RenderedLines;

// The runs of one line, in column order: a view into the document's lines.
class RunRange {
public:
  class Iterator {
  public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = TextRun;
    using difference_type = std::ptrdiff_t;
    using pointer = const TextRun*;
    using reference = const TextRun&;

    Iterator() = default;
    Iterator(const RenderedLines* lines, uint32_t index) : lines_(lines), index_(index) {}
    reference operator*() const;
    pointer operator->() const { return &**this; }
    reference operator[](difference_type offset) const { return *(*this + offset); }
    // The run's document-wide index.
    uint32_t index() const { return index_; }

    Iterator& operator++() { return *this += 1; }
    Iterator operator++(int) {
      Iterator was = *this;
      *this += 1;
      return was;
    }
    Iterator& operator--() { return *this -= 1; }
    Iterator operator--(int) {
      Iterator was = *this;
      *this -= 1;
      return was;
    }
    Iterator& operator+=(difference_type offset) {
      index_ = static_cast<uint32_t>(index_ + offset);
      return *this;
    }
    Iterator& operator-=(difference_type offset) { return *this += -offset; }
    friend Iterator operator+(Iterator it, difference_type offset) { return it += offset; }
    friend Iterator operator+(difference_type offset, Iterator it) { return it += offset; }
    friend Iterator operator-(Iterator it, difference_type offset) { return it -= offset; }
    friend difference_type operator-(const Iterator& a, const Iterator& b) {
      return static_cast<difference_type>(a.index_) - static_cast<difference_type>(b.index_);
    }
    friend bool operator==(const Iterator& a, const Iterator& b) { return a.index_ == b.index_; }
    friend auto operator<=>(const Iterator& a, const Iterator& b) { return a.index_ <=> b.index_; }

  private:
    const RenderedLines* lines_ = nullptr;
    uint32_t index_ = 0;
  };

  RunRange() = default;
  RunRange(const RenderedLines* lines, uint32_t first, uint32_t count)
      : lines_(lines), first_(first), count_(count) {}

  Iterator begin() const { return Iterator(lines_, first_); }
  Iterator end() const { return Iterator(lines_, first_ + count_); }
  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  const TextRun& operator[](std::size_t index) const { return begin()[static_cast<long>(index)]; }
  const TextRun& front() const { return *begin(); }
  const TextRun& back() const { return *(end() - 1); }
  // The document-wide index of the first run.
  uint32_t firstIndex() const { return first_; }

private:
  const RenderedLines* lines_ = nullptr;
  uint32_t first_ = 0;
  uint32_t count_ = 0;
};

// One line: its runs and its text, the runs' texts side by side.
struct RenderedLine {
  RunRange runs;
  std::string_view text;

  std::string_view textOf(const TextRun& run) const {
    return text.substr(static_cast<std::size_t>(run.start), static_cast<std::size_t>(run.length()));
  }
};

}  // namespace orbis
