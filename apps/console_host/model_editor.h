// The host's editor as the plug-in sees it: a file shown in a window of
// WindowSizeX columns and WindowSizeY text rows, a cursor (line and column),
// the first line on the screen (the top line), the first text column on the
// screen (the left column) and the overtype flag.
//
// The file is mapped, never copied: the editor keeps one offset per line
// start, so a document of many megabytes costs its index and nothing more.
// A file with N line feeds has N + 1 lines; the line after the last line
// feed is the empty line an editor shows at the end. The cursor's column is
// never below 0 and not limited by the length of its line; the cursor's
// line always lies in the file, and the top line and the left column
// follow the cursor by the least scroll that keeps it on the screen: a line
// wider than the window scrolls sideways, so that no text is out of reach.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/far_api.h"
#include "platform/mapped_file.h"

namespace orbis::console {

// Where a search found its text, and whether it went round the end (or
// the start) of the text to get there.
struct SearchMatch {
  int32_t line = 0;
  int32_t column = 0;
  bool wrapped = false;
};

enum class SearchDirection { Forward, Backward };

class ModelEditor {
public:
  // windowRows below 1 count as 1.
  ModelEditor(int id, std::string fileName, int windowColumns, int windowRows);

  // Maps the file and puts the cursor on startLine (clamped into the file),
  // column 0, with the top line as low as the screen can be filled. False
  // with a short reason in error when the file cannot be read.
  bool open(int32_t startLine, std::string& error);
  // An editor over no file: one empty line (the other editors of a host).
  void openEmpty();

  int id() const { return id_; }
  const std::string& fileName() const { return fileName_; }
  int windowColumns() const { return windowColumns_; }
  int windowRows() const { return windowRows_; }
  int32_t lineCount() const { return static_cast<int32_t>(lineStarts_.size()); }
  // The text of a line without its line end (an LF, or a CR LF); empty
  // outside the file.
  std::string_view line(int32_t index) const;
  // True when the last byte is a line feed, so the last line is the empty
  // one after it.
  bool endsWithLineFeed() const;

  int32_t cursorLine() const { return cursorLine_; }
  int32_t cursorColumn() const { return cursorColumn_; }
  int32_t topLine() const { return topLine_; }
  int32_t leftColumn() const { return leftColumn_; }
  bool overtype() const { return overtype_; }

  // Moves the cursor as the movement key virtualKey does with the given
  // control-key state; false (nothing moved) for any other key.
  bool moveByKey(uint16_t virtualKey, uint32_t controlState);
  // Applies CurLine, CurPos, TopScreenLine, LeftPos and Overtype (-1
  // leaves a field as it is), then keeps the cursor on the screen. This
  // model has no tab expansion: CurTabPos is not used.
  void setPosition(const EditorSetPosition& position);
  // Shows the text from line top on, moving the cursor the least needed to
  // stay on the screen (a scroll that does not go through the plug-in). The
  // left column stays.
  void scrollTo(int32_t top);

  // A window of another size (rows below 1 count as 1); the cursor stays
  // on the screen.
  void resize(int windowColumns, int windowRows);

  // Looks for text round the file from the cursor, ignoring letter case as
  // the document's code page has it; a match never spans lines. Forward:
  // the first match that starts after the cursor, else the first from the
  // top of the file. Backward: the last match that starts before the
  // cursor, else the last in the file. Either way past the file's end or
  // start sets wrapped, so a single match is found again from itself.
  // Nothing when there is none or text is empty.
  std::optional<SearchMatch> find(std::string_view text, SearchDirection direction) const;

  void fillInfo(EditorInfo& info) const;

  // Set by the plug-in's ECTL_QUIT: the editor closes once the plug-in call
  // that asked for it has returned.
  bool closeRequested = false;

private:
  int32_t clampLine(int64_t line) const;
  int32_t lastTop() const;
  void followCursor();
  void moveToLineEnd();
  std::size_t cursorOffset(int32_t extra) const;
  SearchMatch matchAt(std::size_t offset, bool wrapped) const;

  int id_;
  std::string fileName_;
  int windowColumns_;
  int windowRows_;
  platform::MappedFile file_;
  std::vector<uint32_t> lineStarts_{0};
  int32_t cursorLine_ = 0;
  int32_t cursorColumn_ = 0;
  int32_t topLine_ = 0;
  int32_t leftColumn_ = 0;
  bool overtype_ = false;
};

}  // namespace orbis::console
