// The host's editor as the plug-in sees it: a file shown in a window of
// WindowSizeX columns and WindowSizeY text rows, a cursor (line and column),
// the first line on the screen (the top line) and the overtype flag.
//
// The file is mapped, never copied: the editor keeps one offset per line
// start, so a document of many megabytes costs its index and nothing more.
// A file with N line feeds has N + 1 lines; the line after the last line
// feed is the empty line an editor shows at the end. The cursor's column is
// never below 0 and not limited by the length of its line; the cursor's
// line always lies in the file, and the top line follows the cursor by the
// least scroll that keeps it on the screen.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/far_api.h"
#include "platform/mapped_file.h"

namespace orbis::console {

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
  bool overtype() const { return overtype_; }

  // Moves the cursor as the movement key virtualKey does with the given
  // control-key state; false (nothing moved) for any other key.
  bool moveByKey(uint16_t virtualKey, uint32_t controlState);
  // Applies CurLine, CurPos, TopScreenLine and Overtype (-1 leaves a field
  // as it is), then keeps the cursor on the screen. This model has no tab
  // expansion and no horizontal scrolling: CurTabPos and LeftPos are not
  // used.
  void setPosition(const EditorSetPosition& position);
  // Shows the text from line top on, moving the cursor the least needed to
  // stay on the screen (a scroll that does not go through the plug-in).
  void scrollTo(int32_t top);

  // A window of another size (rows below 1 count as 1); the cursor stays
  // on the screen.
  void resize(int windowColumns, int windowRows);

  // Looks for text from one byte past the cursor to the end of the file,
  // ignoring letter case as the document's code page has it; a match never
  // spans lines. True with the start of the first match in line and
  // column; false (both unchanged) when there is none or text is empty.
  bool findAfterCursor(std::string_view text, int32_t& line, int32_t& column) const;

  void fillInfo(EditorInfo& info) const;

  // Set by the plug-in's ECTL_QUIT: the editor closes once the plug-in call
  // that asked for it has returned.
  bool closeRequested = false;

private:
  int32_t clampLine(int64_t line) const;
  int32_t lastTop() const;
  void followCursor();
  void moveToLineEnd();

  int id_;
  std::string fileName_;
  int windowColumns_;
  int windowRows_;
  platform::MappedFile file_;
  std::vector<uint32_t> lineStarts_{0};
  int32_t cursorLine_ = 0;
  int32_t cursorColumn_ = 0;
  int32_t topLine_ = 0;
  bool overtype_ = false;
};

}  // namespace orbis::console
