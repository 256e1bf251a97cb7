// The headless host's trace: one line per thing that happens between host
// and plug-in, in the order it happens. Strings are quoted and escaped as
// --tree writes them.
//
//   EDITOR "TITLE" LINE          the plug-in opened an editor at LINE
//   CLOSE                        that editor closed
//   KEY NAME -> R                a key-down went to ProcessEditorInput
//   KEYUP NAME -> R              a key-up went to ProcessEditorInput
//   MOUSE COL,ROW BUTTONS -> R   a mouse event went to ProcessEditorInput
//   CURSOR LINE COL TOP          the editor's cursor after it acted
//   ADDCOLOR LINE START END AA   EditorControl calls (AA upper-case hex)
//   SETPOSITION LINE POS TOP
//   REDRAW
//   QUIT
//   TITLE "TEXT"                 the plug-in set the console title
//   MESSAGE "ITEM" ... -> R      Message and Menu, with what they returned
//   MENU "ITEM" ... -> R
#pragma once

#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "console_host/text_output.h"
#include "host/far_api.h"

namespace orbis::console {

class ModelEditor;

class TraceWriter {
public:
  // The stream is not owned.
  explicit TraceWriter(std::FILE* stream) : out_(stream) {}

  void editorOpened(std::string_view title, int32_t startLine);
  void editorClosed();
  void input(std::string_view name, const INPUT_RECORD& record, int result);
  void cursor(const ModelEditor& editor);
  void editorControl(int command, const void* parameter);
  void title(std::string_view text);
  void box(std::string_view kind, std::span<const std::string_view> items, int result);

  // Writes what is left; false when any write failed.
  bool finish() { return out_.flush(); }
  // The errno of the first failed write, 0 while none failed.
  int error() const { return out_.error(); }

private:
  void number(int64_t value);

  OutputBuffer out_;
};

}  // namespace orbis::console
