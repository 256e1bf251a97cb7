#include "console_host/model_editor.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>

#include "platform/char_tables.h"

namespace orbis::console {

namespace {

// Line starts are kept as 32-bit offsets and line numbers are ints.
constexpr std::size_t LargestFile = INT32_MAX;
// The column moves freely past the line's end, but not into overflow.
constexpr int32_t LargestColumn = 1 << 30;

bool controlHeld(uint32_t state) { return (state & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) != 0; }

// The first place from from on where text matches, letter case aside as the
// ANSI code page has it; end when there is none. With reverse iterators
// over the file and the text, the first match in the reversed file is the
// last one.
template <typename Iterator>
Iterator findIgnoringCase(Iterator from, Iterator end, Iterator textBegin, Iterator textEnd) {
  const platform::ByteTable& lower = platform::ansiLowerCaseTable();
  auto fold = [&lower](char c) { return lower[static_cast<unsigned char>(c)]; };
  auto hash = [&fold](char c) { return std::hash<unsigned char>()(fold(c)); };
  auto same = [&fold](char a, char b) { return fold(a) == fold(b); };
  std::boyer_moore_horspool_searcher searcher(textBegin, textEnd, hash, same);
  return searcher(from, end).first;
}

}  // namespace

ModelEditor::ModelEditor(int id, std::string fileName, int windowColumns, int windowRows)
    : id_(id),
      fileName_(std::move(fileName)),
      windowColumns_(windowColumns),
      windowRows_(std::max(windowRows, 1)) {}

bool ModelEditor::open(int32_t startLine, std::string& error) {
  if (!file_.open(fileName_.c_str())) {
    error = file_.lastError();
    return false;
  }
  std::string_view bytes = file_.bytes();
  if (bytes.size() > LargestFile) {
    error = "is too large for the editor";
    file_.close();
    return false;
  }
  lineStarts_.assign(1, 0);
  const char* begin = bytes.data();
  const char* end = begin + bytes.size();
  for (const char* at = begin; at < end;) {
    const void* feed = std::memchr(at, '\n', static_cast<std::size_t>(end - at));
    if (feed == nullptr) break;
    at = static_cast<const char*>(feed) + 1;
    lineStarts_.push_back(static_cast<uint32_t>(at - begin));
  }
  cursorLine_ = clampLine(startLine);
  cursorColumn_ = leftColumn_ = 0;
  topLine_ = std::min(cursorLine_, lastTop());
  return true;
}

void ModelEditor::openEmpty() {
  file_.close();
  lineStarts_.assign(1, 0);
  cursorLine_ = cursorColumn_ = topLine_ = leftColumn_ = 0;
}

std::string_view ModelEditor::line(int32_t index) const {
  if (index < 0 || index >= lineCount()) return {};
  std::string_view bytes = file_.bytes();
  std::size_t start = lineStarts_[static_cast<std::size_t>(index)];
  std::size_t next = static_cast<std::size_t>(index) + 1;
  std::size_t end = next < lineStarts_.size() ? lineStarts_[next] - 1 : bytes.size();
  std::string_view text = bytes.substr(start, end - start);
  if (next < lineStarts_.size() && !text.empty() && text.back() == '\r') text.remove_suffix(1);
  return text;
}

bool ModelEditor::endsWithLineFeed() const {
  std::string_view bytes = file_.bytes();
  return !bytes.empty() && bytes.back() == '\n';
}

bool ModelEditor::moveByKey(uint16_t virtualKey, uint32_t controlState) {
  int64_t line = cursorLine_;
  switch (virtualKey) {
    case VK_UP:
      line -= 1;
      break;
    case VK_DOWN:
      line += 1;
      break;
    case VK_LEFT:
      cursorColumn_ = std::max(cursorColumn_ - 1, 0);
      break;
    case VK_RIGHT:
      cursorColumn_ = std::min(cursorColumn_ + 1, LargestColumn);
      break;
    case VK_PRIOR:
    case VK_NEXT: {
      int32_t step = virtualKey == VK_NEXT ? windowRows_ : -windowRows_;
      line += step;
      topLine_ = static_cast<int32_t>(std::clamp<int64_t>(int64_t{topLine_} + step, 0, lastTop()));
      break;
    }
    case VK_HOME:
      if (controlHeld(controlState)) line = 0;
      cursorColumn_ = 0;
      break;
    case VK_END:
      if (controlHeld(controlState)) line = lineCount() - 1;
      cursorLine_ = clampLine(line);
      moveToLineEnd();
      break;
    default:
      return false;
  }
  cursorLine_ = clampLine(line);
  followCursor();
  return true;
}

void ModelEditor::setPosition(const EditorSetPosition& position) {
  if (position.CurLine != -1) cursorLine_ = clampLine(position.CurLine);
  if (position.CurPos != -1) cursorColumn_ = std::clamp(position.CurPos, 0, LargestColumn);
  if (position.TopScreenLine != -1) topLine_ = clampLine(position.TopScreenLine);
  if (position.LeftPos != -1) leftColumn_ = std::clamp(position.LeftPos, 0, LargestColumn);
  if (position.Overtype != -1) overtype_ = position.Overtype != 0;
  followCursor();
}

void ModelEditor::scrollTo(int32_t top) {
  topLine_ = clampLine(top);
  cursorLine_ = std::clamp(cursorLine_, topLine_, topLine_ + windowRows_ - 1);
  cursorLine_ = clampLine(cursorLine_);
}

void ModelEditor::resize(int windowColumns, int windowRows) {
  windowColumns_ = windowColumns;
  windowRows_ = std::max(windowRows, 1);
  followCursor();
}

std::optional<SearchMatch> ModelEditor::find(std::string_view text,
                                             SearchDirection direction) const {
  // Text with a line end could only match across lines.
  if (text.empty() || text.find_first_of("\r\n") != std::string_view::npos) return std::nullopt;
  std::string_view bytes = file_.bytes();
  if (direction == SearchDirection::Forward) {
    auto from = bytes.begin() + static_cast<std::ptrdiff_t>(cursorOffset(1));
    auto found = findIgnoringCase(from, bytes.end(), text.begin(), text.end());
    bool wrapped = found == bytes.end();
    if (wrapped) found = findIgnoringCase(bytes.begin(), bytes.end(), text.begin(), text.end());
    if (found == bytes.end()) return std::nullopt;
    return matchAt(static_cast<std::size_t>(found - bytes.begin()), wrapped);
  }
  // In the reversed file a match that starts before the cursor's byte is
  // one that ends past the first skipped bytes.
  std::size_t reach = std::min(bytes.size(), cursorOffset(0) + text.size() - 1);
  auto from = bytes.rbegin() + static_cast<std::ptrdiff_t>(bytes.size() - reach);
  auto found = findIgnoringCase(from, bytes.rend(), text.rbegin(), text.rend());
  bool wrapped = found == bytes.rend();
  if (wrapped) found = findIgnoringCase(bytes.rbegin(), bytes.rend(), text.rbegin(), text.rend());
  if (found == bytes.rend()) return std::nullopt;
  std::size_t matchEnd = bytes.size() - static_cast<std::size_t>(found - bytes.rbegin());
  return matchAt(matchEnd - text.size(), wrapped);
}

void ModelEditor::fillInfo(EditorInfo& info) const {
  info = EditorInfo{};
  info.EditorID = id_;
  info.FileName = fileName_.c_str();
  info.WindowSizeX = windowColumns_;
  info.WindowSizeY = windowRows_;
  info.TotalLines = lineCount();
  info.CurLine = cursorLine_;
  info.CurPos = cursorColumn_;
  info.CurTabPos = cursorColumn_;
  info.TopScreenLine = topLine_;
  info.LeftPos = leftColumn_;
  info.Overtype = overtype_ ? 1 : 0;
  info.TableNum = -1;
  info.TabSize = 8;
}

int32_t ModelEditor::clampLine(int64_t line) const {
  return static_cast<int32_t>(std::clamp<int64_t>(line, 0, lineCount() - 1));
}

int32_t ModelEditor::lastTop() const { return std::max(lineCount() - windowRows_, 0); }

void ModelEditor::followCursor() {
  if (cursorLine_ < topLine_) topLine_ = cursorLine_;
  if (cursorLine_ >= topLine_ + windowRows_) topLine_ = cursorLine_ - windowRows_ + 1;
  int32_t columns = std::max(windowColumns_, 1);
  if (cursorColumn_ < leftColumn_) leftColumn_ = cursorColumn_;
  if (cursorColumn_ >= leftColumn_ + columns) leftColumn_ = cursorColumn_ - columns + 1;
}

void ModelEditor::moveToLineEnd() {
  cursorColumn_ =
      static_cast<int32_t>(std::min<std::size_t>(line(cursorLine_).size(), LargestColumn));
}

// The byte of the cursor's line extra columns past the cursor, as far as
// the line's end.
std::size_t ModelEditor::cursorOffset(int32_t extra) const {
  std::size_t lineStart = lineStarts_[static_cast<std::size_t>(cursorLine_)];
  std::size_t lineLength = line(cursorLine_).size();
  return lineStart +
         std::min<std::size_t>(static_cast<std::size_t>(cursorColumn_) + extra, lineLength);
}

SearchMatch ModelEditor::matchAt(std::size_t offset, bool wrapped) const {
  auto next = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
  SearchMatch match;
  match.line = static_cast<int32_t>(next - lineStarts_.begin() - 1);
  match.column = static_cast<int32_t>(offset - lineStarts_[static_cast<std::size_t>(match.line)]);
  match.wrapped = wrapped;
  return match;
}

}  // namespace orbis::console
