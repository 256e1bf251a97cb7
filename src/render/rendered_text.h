// The rendered text model: lines of runs, each run a piece of text in one
// colour pair, placed left to right from column 0 with no gaps. A run split
// by layout (at a wrap, or at a line feed in preformatted text) stays linked
// to its other pieces, so that a link broken over several lines is still
// one link; a piece lies on a later line than the piece before it. After
// load the model is read-only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "config/colors.h"
#include "pool/block_pool.h"

namespace orbis {

enum class Alignment : int32_t { Left = 0, Right = 1, Center = 2 };

// What a run is: plain text, or a piece of a link (a LinkRun).
enum class RunKind : int { Text = 1, Link = 2 };

// Immutable text shared by every run of one link: a page may repeat a long
// href over a great many short runs, and no run needs a copy of its own.
// The shared record lives in the block pool, like the runs.
class SharedText {
public:
  SharedText() = default;
  SharedText(std::string text)
      : text_(text.empty() ? nullptr
                           : std::allocate_shared<const std::string>(BlockAllocator<std::string>(),
                                                                     std::move(text))) {}
  SharedText(const char* text) : SharedText(std::string(text)) {}

  const std::string& str() const { return text_ ? *text_ : none(); }
  bool empty() const { return text_ == nullptr; }
  friend bool operator==(const SharedText& a, std::string_view b) { return a.str() == b; }

private:
  static const std::string& none() {
    static const std::string nothing;
    return nothing;
  }
  std::shared_ptr<const std::string> text_;
};

class TextRun {
public:
  TextRun() = default;
  TextRun(ColorPair runColors, std::string runText) : colors(runColors), text(std::move(runText)) {}
  virtual ~TextRun() = default;
  TextRun(const TextRun&) = delete;
  TextRun& operator=(const TextRun&) = delete;

  // A page makes about as many runs as its tree has nodes, so runs come
  // from the block pool like the nodes: layout frees the tree as it goes,
  // and the runs are cut from the memory the tree leaves.
  static void* operator new(std::size_t size) { return allocateBlock(size); }
  // The virtual destructor passes the size of the whole derived object.
  static void operator delete(void* block, std::size_t size) noexcept { releaseBlock(block, size); }

  virtual RunKind kind() const { return RunKind::Text; }
  // A new run of the same kind and colours (and target), with empty text,
  // no piece links and zero position.
  virtual std::unique_ptr<TextRun> emptyCopy() const;

  TextRun* previousPiece = nullptr;
  TextRun* nextPiece = nullptr;
  int32_t line = 0;
  int32_t start = 0;
  int32_t end = 0;  // inclusive
  ColorPair colors;
  std::string text;
};

class LinkRun : public TextRun {
public:
  LinkRun() = default;
  LinkRun(ColorPair runColors, ColorPair active, std::string runText, SharedText href)
      : TextRun(runColors, std::move(runText)), activeColors(active), target(std::move(href)) {}

  RunKind kind() const override { return RunKind::Link; }
  std::unique_ptr<TextRun> emptyCopy() const override;

  ColorPair activeColors;
  SharedText target;  // the href as written in the page
  // The first piece of this run's chain (this run when it is the first),
  // set by the writer: the pieces of one link share it, so a piece is known
  // to belong to a link without walking the link, however many lines it
  // wraps over. Null until written.
  const LinkRun* firstPiece = nullptr;
};

// The run as a LinkRun, or null when it is none (or null).
inline LinkRun* asLink(TextRun* run) {
  return run != nullptr && run->kind() == RunKind::Link ? static_cast<LinkRun*>(run) : nullptr;
}
inline const LinkRun* asLink(const TextRun* run) {
  return run != nullptr && run->kind() == RunKind::Link ? static_cast<const LinkRun*>(run)
                                                        : nullptr;
}

struct RenderedLine {
  Alignment alignment = Alignment::Left;
  std::vector<std::unique_ptr<TextRun>, BlockAllocator<std::unique_ptr<TextRun>>> runs;
};

}  // namespace orbis
