// Layout's lines: where a line starts and ends, the breaks between them,
// alignment, and the runs of the line being filled until it is committed
// to the document.
#include <algorithm>
#include <string>

#include "markup/lower_string.h"
#include "render/layout.h"
#include "render/text_flow.h"

namespace orbis {

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

void Layout::startLine() {
  hasLine_ = true;
  lineAlignment_ = alignment;
}

void Layout::newLine() {
  if (!hasLine_) startLine();
  commitLine();
  startLine();
  currentLine = static_cast<int32_t>(doc.lines.size());
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

void Layout::finish() {
  if (hasLine_) commitLine();
  hasLine_ = false;
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
  if (hasLine_) {
    lineAlignment_ = value;
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

uint32_t Layout::appendRun(const RunStyle& style, std::string_view text, uint8_t flags,
                           uint32_t firstPiece) {
  if (!hasLine_) startLine();
  if (indent > 0 && lineRuns_.empty()) {
    // Nesting deeper than the line is wide would otherwise give every line
    // of a deeply nested page more blanks than the page has bytes.
    int32_t blanks = std::min(indent, std::max(wrapWidth, MinWrapWidth));
    lineRuns_.push_back(
        TextRun{0, blanks - 1, 0, 0, packColors(doc.normalColors), RunKind::Text, 0});
    lineText_.append(static_cast<size_t>(blanks), ' ');
    column += blanks;
  }
  auto start = static_cast<int32_t>(lineText_.size());
  lineRuns_.push_back(TextRun{start, start + static_cast<int32_t>(text.size()) - 1, firstPiece,
                              style.target, style.colors, style.kind, flags});
  lineText_.append(text);
  return static_cast<uint32_t>(lineRuns_.size() - 1);
}

void Layout::dropNextPiece(uint32_t index) {
  TextRun& run = index >= doc.lines.runCount() ? lineRuns_[index - doc.lines.runCount()]
                                               : doc.lines.run(index);
  run.flags = static_cast<uint8_t>(run.flags & ~NextPiece);
}

namespace {

// Blanks in front of a line so that it ends in the last column (Right) or
// leaves equal room on both sides, the odd cell going to the right (Center).
int64_t alignmentPadding(Alignment alignment, int64_t lastColumn, int columns) {
  switch (alignment) {
    case Alignment::Right:
      return columns - lastColumn - 1;
    case Alignment::Center:
      return (columns - lastColumn - 1) / 2;
    case Alignment::Left:
      break;
  }
  return 0;
}

}  // namespace

// The line is final: its alignment becomes blanks in front of it (a run of
// its own), and each piece that begins a chain learns its own index.
void Layout::commitLine() {
  int64_t padding = 0;
  if (!lineRuns_.empty()) {
    padding =
        alignmentPadding(lineAlignment_, static_cast<int64_t>(lineText_.size()) - 1, wrapWidth);
  }
  if (padding > 0) {
    auto blanks = static_cast<int32_t>(padding);
    for (TextRun& run : lineRuns_) {
      run.start += blanks;
      run.end += blanks;
    }
    lineRuns_.insert(lineRuns_.begin(), TextRun{0, blanks - 1, 0, 0, 0, RunKind::Text, Padding});
    lineText_.insert(0, static_cast<size_t>(blanks), ' ');
  }
  uint32_t first = doc.lines.runCount();
  for (std::size_t i = 0; i < lineRuns_.size(); ++i) {
    TextRun& run = lineRuns_[i];
    if (!run.hasPreviousPiece()) run.firstPiece = first + static_cast<uint32_t>(i);
  }
  doc.lines.append(lineRuns_, lineText_);
  lastLineFirstRun_ = first + (padding > 0 ? 1 : 0);
  lineRuns_.clear();
  lineText_.clear();
  hasLine_ = false;
}

}  // namespace orbis
