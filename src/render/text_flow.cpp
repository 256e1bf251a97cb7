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
// inserted. Each piece's text is materialised only when it is appended.
#include "render/text_flow.h"

#include <algorithm>
#include <cassert>
#include <string>

#include "markup/lower_string.h"
#include "render/layout.h"

namespace orbis {

namespace {

constexpr size_t NoPosition = std::string::npos;

// Deletes a piece that came out empty. The piece before it, if any, ends its
// chain here rather than keep pointing at freed memory.
void dropPiece(std::unique_ptr<TextRun> run) {
  if (run->previousPiece != nullptr) {
    run->previousPiece->nextPiece = nullptr;
  }
}

class RunFlow {
public:
  RunFlow(Layout& layout, std::unique_ptr<TextRun> run)
      : layout_(layout),
        run_(std::move(run)),
        source_(std::move(run_->text)),
        width_(std::max(layout.wrapWidth, MinWrapWidth)),
        tabSize_(layout.tabSize) {
    run_->text.clear();
  }

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

  Layout& layout_;
  std::unique_ptr<TextRun> run_;
  std::string source_;                // read-only until finish()
  size_t pos_ = 0;                    // next unread byte of source_
  std::string head_;                  // the run's text scanned so far
  int64_t lastBlank_ = -1;            // index in head_ of the last blank, or -1
  size_t pendingBlank_ = NoPosition;  // an inserted blank stands before source_[pendingBlank_]
  size_t blankSearchFrom_ = NoPosition;
  size_t blankFound_ = NoPosition;
  const int32_t width_;
  const int32_t tabSize_;
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
  head_.append(source_, pos_, end - pos_);
  layout_.column += static_cast<int32_t>(end - pos_);
  layout_.breakCount = 0;
  pos_ = end;
}

void RunFlow::expandTab() {
  ++pos_;
  int32_t extra = tabExpansion(layout_.column, tabSize_);
  head_.append(static_cast<size_t>(extra) + 1, ' ');
  layout_.column += extra;
  lastBlank_ = static_cast<int64_t>(head_.size()) - 1;
  placeCell();
}

void RunFlow::takeBlank(bool pending) {
  if (pending) {
    pendingBlank_ = NoPosition;
  } else {
    ++pos_;
  }
  lastBlank_ = static_cast<int64_t>(head_.size());
  head_.push_back(' ');
  placeCell();
}

// The text after the line feed goes on in a new run; the line feed itself
// is dropped.
void RunFlow::breakAtLineFeed() {
  ++pos_;
  std::unique_ptr<TextRun> next = run_->emptyCopy();
  bool keepsText = !head_.empty();
  if (keepsText && pos_ < source_.size()) {
    run_->nextPiece = next.get();
    next->previousPiece = run_.get();
  }
  if (keepsText) {
    run_->text = std::move(head_);
    layout_.appendRun(std::move(run_));
  } else {
    dropPiece(std::move(run_));
  }
  if (layout_.column > 0 || layout_.preformatted) {
    layout_.newLine();
  }
  run_ = std::move(next);
  head_.clear();
  lastBlank_ = -1;
}

// The line is full: break it at the last blank, which is dropped. What
// followed the blank begins the new line, and the character that did not
// fit is examined there like any other.
void RunFlow::wrapAtBlank() {
  std::unique_ptr<TextRun> next = run_->emptyCopy();
  std::string carried = head_.substr(static_cast<size_t>(lastBlank_) + 1);
  head_.resize(static_cast<size_t>(lastBlank_));
  run_->nextPiece = next.get();
  if (!head_.empty()) {
    next->previousPiece = run_.get();
    run_->text = std::move(head_);
    layout_.appendRun(std::move(run_));
  } else {
    dropPiece(std::move(run_));
  }
  layout_.newLine();
  run_ = std::move(next);
  head_ = std::move(carried);
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
  assert(head_.size() <= pos_ && source_.compare(pos_ - head_.size(), head_.size(), head_) == 0);
  pos_ -= head_.size();
  head_.clear();
  lastBlank_ = -1;
}

void RunFlow::finish() {
  if (head_.empty()) {
    dropPiece(std::move(run_));
    return;
  }
  // Most runs fit as they came: they keep the text's own memory and the
  // copy goes back for the next run.
  run_->text = head_ == source_ ? std::move(source_) : std::move(head_);
  layout_.appendRun(std::move(run_));
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

}  // namespace

int32_t effectiveTabSize(int32_t tabsize) { return std::clamp(tabsize, int32_t{1}, MaxTabSize); }

int32_t tabExpansion(int32_t column, int32_t tabSize) {
  if (column < 0 || column >= TabStopLimit || tabSize < 1) {
    return 0;
  }
  return tabSize * (column / tabSize + 1) - column - 1;
}

Layout::Layout(Document& document, const Settings& pageSettings, int32_t width)
    : doc(document),
      settings(pageSettings),
      wrapWidth(width),
      tabSize(effectiveTabSize(pageSettings.tabsize)) {
  doc.normalColors = {settings.bgcolor, settings.text};
  doc.linkColors = {settings.bgcolor, settings.link};
  doc.activeLinkColors = {settings.bgcolor, settings.alink};
  doc.title = "No Title";
}

void Layout::newLine() {
  if (doc.lines.empty()) {
    doc.lines.push_back(RenderedLine{alignment, {}});
  }
  doc.lines.push_back(RenderedLine{alignment, {}});
  currentLine = static_cast<int32_t>(doc.lines.size()) - 1;
  // Only "none", "one" and "two or more" matter to the callers; stopping
  // short of the top-of-document mark keeps a long run of breaks from
  // ever being mistaken for it.
  if (breakCount == TopOfDocument) {
    breakCount = 0;
  } else if (breakCount < TopOfDocument - 1) {
    breakCount += 1;
  }
  column = 0;
}

void Layout::lineBreak(bool soft) {
  if (!soft || breakCount < 1) {
    newLine();
  }
}

void Layout::paragraphBreak(bool lineOnly) {
  lineBreak(true);
  if (!lineOnly && breakCount < 2) {
    newLine();
  }
}

void Layout::setAlignment(Alignment value) {
  alignment = value;
  if (!doc.lines.empty()) {
    doc.lines.back().alignment = value;
  }
}

void Layout::applyAlign(const ElementNode& element, Alignment defaultAlignment) {
  std::string value;
  if (!element.getAttribute("align", value)) {
    setAlignment(defaultAlignment);
  } else if (equalsIgnoringCase(value, "left")) {
    setAlignment(Alignment::Left);
  } else if (equalsIgnoringCase(value, "right")) {
    setAlignment(Alignment::Right);
  } else if (equalsIgnoringCase(value, "center")) {
    setAlignment(Alignment::Center);
  }
}

void Layout::appendRun(std::unique_ptr<TextRun> run) {
  if (doc.lines.empty()) {
    doc.lines.push_back(RenderedLine{alignment, {}});
  }
  RenderedLine& line = doc.lines.back();
  if (line.runs.empty()) {
    line.runs.reserve(4);  // most lines hold a few runs: one block, no regrowth
  }
  if (indent > 0 && line.runs.empty()) {
    // Nesting deeper than the line is wide would otherwise give every line
    // of a deeply nested page more blanks than the page has bytes.
    int32_t blanks = std::min(indent, std::max(wrapWidth, MinWrapWidth));
    line.runs.push_back(
        std::make_unique<TextRun>(doc.normalColors, std::string(static_cast<size_t>(blanks), ' ')));
    column += blanks;
  }
  line.runs.push_back(std::move(run));
}

void Layout::flowRun(std::unique_ptr<TextRun> run) {
  if (run == nullptr) {
    return;
  }
  RunFlow(*this, std::move(run)).flow();
}

void Layout::trimJoinSpace(std::string& text, bool titleFlag) {
  if (preformatted && !titleFlag) {
    return;
  }
  if (endsInSpace && !text.empty() && isWhiteSpace(text.front())) {
    text.erase(0, 1);
  }
  if (!text.empty()) {
    endsInSpace = isWhiteSpace(text.back());
  }
}

}  // namespace orbis
