// Text flow: placing runs into lines at the wrap width W.
//
// Conventions of this file. Column counts the cells of the current line,
// including those of the run being scanned; the indent is added to it only
// when the first run of a line is appended. breakCount counts the line
// breaks since the last character was placed (TopOfDocument before any).
// Whitespace is tab, line feed, carriage return and blank.
//
// flowRun must stay linear in the length of the run: a 10 MB word, or a
// long preformatted line, is cut into pieces from the front without copying
// the rest again and again. The run's text is therefore kept as the part
// scanned so far ("head", tabs already expanded) followed by the unread rest
// of the original text ("source" from "pos"), and the blank that cutting a
// long word inserts is held as a position in the source instead of being
// inserted. Most pieces are parts of the run's text and are kept as ranges
// of it; only a piece with a tab or the inserted blank is copied.
#include "render/text_flow.h"

#include <algorithm>
#include <cassert>
#include <string>

#include "markup/lower_string.h"
#include "render/layout.h"

namespace orbis {

namespace {

constexpr size_t NoPosition = std::string::npos;

// The scanned part of the current piece. Mostly it is a part of the run's
// text, kept as a range; a tab's blanks and the blank inserted into a long
// word are in no text, and a piece that takes one is copied from there on.
class PieceHead {
public:
  explicit PieceHead(std::string_view source) : source_(source) {}
  size_t size() const { return copied_ ? bytes_.size() : length_; }
  bool empty() const { return size() == 0; }
  std::string_view text() const {
    return copied_ ? std::string_view(bytes_) : source_.substr(start_, length_);
  }
  // Takes source_[from, to), which follows what was taken before.
  void take(size_t from, size_t to) {
    if (copied_) {
      bytes_.append(source_, from, to - from);
    } else {
      assert(from == start_ + length_);
      length_ += to - from;
    }
  }
  // A blank of the source at at, or one inserted before it.
  void takeBlank(bool inserted, size_t at) {
    if (inserted) {
      takeBlanks(1);
    } else {
      take(at, at + 1);
    }
  }
  void takeBlanks(size_t count) {
    copy();
    bytes_.append(count, ' ');
  }
  // Keeps only what follows the blank at index.
  void keepAfter(size_t index) {
    if (copied_) {
      bytes_.erase(0, index + 1);
    } else {
      start_ += index + 1;
      length_ -= index + 1;
    }
  }
  // Starts a piece at source_[at].
  void startAt(size_t at) {
    copied_ = false;
    bytes_.clear();
    start_ = at;
    length_ = 0;
  }

private:
  void copy() {
    if (!copied_) bytes_.assign(source_.substr(start_, length_));
    copied_ = true;
  }

  std::string_view source_;
  size_t start_ = 0;
  size_t length_ = 0;
  bool copied_ = false;
  std::string bytes_;
};

class RunFlow {
public:
  RunFlow(Layout& layout, const RunStyle& style, std::string_view text)
      : layout_(layout),
        style_(style),
        source_(text),
        head_(text),
        width_(std::max(layout.wrapWidth, MinWrapWidth)),
        tabSize_(layout.tabSize) {}

  void flow();

private:
  bool atEnd() const { return pos_ >= source_.size() && pendingBlank_ == NoPosition; }
  size_t textLength() const {
    return head_.size() + (source_.size() - pos_) + (pendingBlank_ != NoPosition ? 1 : 0);
  }
  void placeCell() {
    layout_.breakCount = 0;
    layout_.column += 1;
  }

  void examine();
  void takeCharacters();
  void expandTab();
  void takeBlank(bool pending);
  void breakAtLineFeed();
  void wrapAtBlank();
  void startLongWord();
  void restart();
  void finish();
  size_t nextSourceBlank();

  void appendPiece(std::string_view text, bool nextFollows);
  void dropPiece();
  void startNextPiece(bool linked);

  Layout& layout_;
  const RunStyle style_;
  const std::string_view source_;     // the run's text, read from the front
  size_t pos_ = 0;                    // next unread byte of source_
  PieceHead head_;                    // the current piece's text scanned so far
  int64_t lastBlank_ = -1;            // index in head_ of the last blank, or -1
  size_t pendingBlank_ = NoPosition;  // an inserted blank stands before source_[pendingBlank_]
  size_t blankSearchFrom_ = NoPosition;
  size_t blankFound_ = NoPosition;
  const int32_t width_;
  const int32_t tabSize_;

  // The chain of pieces: whether the current piece follows an appended
  // one, the place of the last appended piece on its line, and, once that
  // line is in the document, its index and that of the chain's first piece.
  bool linked_ = false;
  uint32_t appendedPlace_ = 0;
  uint32_t previousIndex_ = 0;
  uint32_t firstPiece_ = 0;
};

void RunFlow::flow() {
  for (;;) {
    if (atEnd()) {
      finish();
      return;
    }
    if (layout_.column < width_ || layout_.preformatted) {
      examine();
    } else if (lastBlank_ >= 0) {
      wrapAtBlank();
    } else {
      // Nowhere to break this line: the run goes on on a new line, and a
      // word that cannot fit on any line is cut first.
      bool longWord = textLength() >= static_cast<size_t>(width_);
      if (layout_.column > 0) {
        layout_.newLine();
      }
      if (longWord) {
        startLongWord();
      }
      restart();
    }
  }
}

void RunFlow::examine() {
  if (pendingBlank_ == pos_) {
    takeBlank(true);
    return;
  }
  char c = source_[pos_];
  switch (c) {
    case '\t':
      expandTab();
      break;
    case ' ':
      takeBlank(false);
      break;
    case '\r':  // a carriage return ends a line just like a line feed
    case '\n':
      breakAtLineFeed();
      break;
    default:
      takeCharacters();
      break;
  }
}

// Ordinary characters are placed one cell each; those up to the next byte
// that needs a decision (white space, the inserted blank, the end of the
// line) are taken in one go.
void RunFlow::takeCharacters() {
  size_t limit = std::min(source_.size(), pendingBlank_);
  if (!layout_.preformatted) {
    limit = std::min(limit, pos_ + static_cast<size_t>(width_ - layout_.column));
  }
  size_t end = pos_ + 1;  // the byte at pos_ is known to be ordinary
  while (end < limit && !isWhiteSpace(source_[end])) {
    ++end;
  }
  head_.take(pos_, end);
  layout_.column += static_cast<int32_t>(end - pos_);
  layout_.breakCount = 0;
  pos_ = end;
}

void RunFlow::expandTab() {
  ++pos_;
  int32_t extra = tabExpansion(layout_.column, tabSize_);
  head_.takeBlanks(static_cast<size_t>(extra) + 1);
  layout_.column += extra;
  lastBlank_ = static_cast<int64_t>(head_.size()) - 1;
  placeCell();
}

void RunFlow::takeBlank(bool pending) {
  lastBlank_ = static_cast<int64_t>(head_.size());
  head_.takeBlank(pending, pos_);
  if (pending) {
    pendingBlank_ = NoPosition;
  } else {
    ++pos_;
  }
  placeCell();
}

// The text after the line feed goes on in a new piece; the line feed
// itself is dropped.
void RunFlow::breakAtLineFeed() {
  ++pos_;
  bool keepsText = !head_.empty();
  bool linked = keepsText && pos_ < source_.size();
  if (keepsText) {
    appendPiece(head_.text(), linked);
  } else {
    dropPiece();
  }
  if (layout_.column > 0 || layout_.preformatted) {
    layout_.newLine();
  }
  startNextPiece(linked);
  head_.startAt(pos_);
  lastBlank_ = -1;
}

// The line is full: break it at the last blank, which is dropped. What
// followed the blank begins the new line, and the character that did not
// fit is examined there like any other.
void RunFlow::wrapAtBlank() {
  const auto blank = static_cast<size_t>(lastBlank_);
  bool keepsText = blank > 0;
  if (keepsText) {
    appendPiece(head_.text().substr(0, blank), true);
  } else {
    dropPiece();
  }
  layout_.newLine();
  startNextPiece(keepsText);
  head_.keepAfter(blank);
  lastBlank_ = -1;
  layout_.column = static_cast<int32_t>(head_.size());
  if (!head_.empty()) {
    layout_.breakCount = 0;
  }
}

// A word of W or more characters: unless a blank comes early enough to
// break at, a blank is put at index W - 1, so that the line takes W - 1
// characters of it and breaks there.
void RunFlow::startLongWord() {
  // No blank has been scanned, so head_ holds none, and the first blank of
  // the text is the pending one or the next in the source.
  assert(pendingBlank_ == NoPosition || pendingBlank_ >= pos_);
  size_t runStart = pos_ - head_.size();
  size_t first = std::min(pendingBlank_, nextSourceBlank());
  size_t widthIndex = static_cast<size_t>(width_);
  if (first != NoPosition && first - runStart < widthIndex) {
    return;
  }
  // A pending blank always lies below W in its run (runs only start later
  // in the source), so there is never a second one to keep.
  assert(pendingBlank_ == NoPosition);
  pendingBlank_ = runStart + widthIndex - 1;
}

// Scans the run again from its first character. The scanned part holds no
// blank and no expanded tab here, so it is exactly the source bytes before
// pos_ and "unreading" it is enough.
void RunFlow::restart() {
  assert(head_.size() <= pos_ && source_.substr(pos_ - head_.size(), head_.size()) == head_.text());
  pos_ -= head_.size();
  head_.startAt(pos_);
  lastBlank_ = -1;
}

void RunFlow::finish() {
  if (head_.empty()) {
    dropPiece();
    return;
  }
  appendPiece(head_.text(), false);
}

// The first blank of the source at or after pos_. The source never changes
// and pos_ moves forward between searches, so the last answer is reused
// while it still lies ahead: a long word is searched once, not once a line.
size_t RunFlow::nextSourceBlank() {
  bool known = blankSearchFrom_ != NoPosition && blankSearchFrom_ <= pos_ &&
               (blankFound_ == NoPosition || blankFound_ >= pos_);
  if (!known) {
    blankSearchFrom_ = pos_;
    blankFound_ = source_.find(' ', pos_);
  }
  return blankFound_;
}

void RunFlow::appendPiece(std::string_view text, bool nextFollows) {
  uint8_t flags =
      static_cast<uint8_t>((linked_ ? PreviousPiece : 0) | (nextFollows ? NextPiece : 0));
  appendedPlace_ = layout_.appendRun(style_, text, flags, firstPiece_);
}

// A piece that came out empty is left out; the piece before it, if any,
// then ends the chain.
void RunFlow::dropPiece() {
  if (linked_) layout_.dropNextPiece(previousIndex_);
}

// The next piece follows the one just appended when linked is set; that
// piece's line has gone to the document by now.
void RunFlow::startNextPiece(bool linked) {
  if (linked) {
    previousIndex_ = layout_.indexOfLastLineRun(appendedPlace_);
    if (!linked_) firstPiece_ = previousIndex_;
  }
  linked_ = linked;
}

}  // namespace

int32_t effectiveTabSize(int32_t tabsize) { return std::clamp(tabsize, int32_t{1}, MaxTabSize); }

int32_t tabExpansion(int32_t column, int32_t tabSize) {
  if (column < 0 || column >= TabStopLimit || tabSize < 1) {
    return 0;
  }
  return tabSize * (column / tabSize + 1) - column - 1;
}

namespace {

// True when text holds a tab, a line feed or a carriage return.
bool hasLineControl(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) <= '\r' && (c == '\t' || c == '\n' || c == '\r')) return true;
  }
  return false;
}

}  // namespace

void Layout::flowRun(const RunStyle& style, std::string_view text) {
  // Most runs fit where they start: nothing to break, expand or cut, so the
  // flow below would place them whole, cell by cell.
  const int32_t width = std::max(wrapWidth, MinWrapWidth);
  const bool fits = preformatted || static_cast<int64_t>(text.size()) <= int64_t{width} - column;
  if (!text.empty() && fits && !hasLineControl(text)) {
    column += static_cast<int32_t>(text.size());
    breakCount = 0;
    appendRun(style, text, 0, 0);
    return;
  }
  RunFlow(*this, style, text).flow();
}

void Layout::trimJoinSpace(std::string_view& text, bool titleFlag) {
  if (preformatted && !titleFlag) {
    return;
  }
  if (endsInSpace && !text.empty() && isWhiteSpace(text.front())) {
    text.remove_prefix(1);
  }
  if (!text.empty()) {
    endsInSpace = isWhiteSpace(text.back());
  }
}

}  // namespace orbis
