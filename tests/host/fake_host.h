// A host for calling the plug-in in-process: the functions of the start-up
// table record what they were asked in `calls` (one line each) and answer as
// the test sets up. Each Editor call runs the next of `inEditor` while that
// editor is "open", with `editor` describing it to ECTL_GETINFO; inside, the
// test plays the editor's events into the plug-in as the host would. Colours
// and console titles are kept apart from `calls`, as a redraw sends many.
// Host functions are plain C pointers, so they reach the one FakeHost alive
// through a global.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "host/far_api.h"

namespace orbis::testing {

struct FakeEditor {
  int id = 1;
  std::string fileName;
  std::vector<std::string> text;  // the file's lines as the editor opened it
  int width = 80;
  int height = 23;
  int line = 0;
  int column = 0;
  int top = 0;
};

class FakeHost {
public:
  FakeHost();
  ~FakeHost();
  FakeHost(const FakeHost&) = delete;
  FakeHost& operator=(const FakeHost&) = delete;

  PluginStartupInfo startupInfo(const char* moduleName = "/nowhere/Orbisline.so") const;

  // SetStartupInfo with this host's table, from a host executable that
  // carries the version text given.
  void start(const char* version = "1.70");

  // Events of the open editor, handed to the plug-in; each returns what
  // ProcessEditorInput does. A mouse event without flags is a button change.
  // Once the plug-in has asked the editor to quit, it closes as soon as the
  // plug-in returns, and these deliver nothing (returning 0).
  int key(uint16_t code, uint32_t controlState = 0, bool down = true);
  int mouse(int16_t column, int16_t row, uint32_t buttons = 0, uint32_t flags = MOUSE_MOVED);
  // EE_REDRAW, after forgetting the colours of the previous redraw.
  void redraw();
  // The plug-in menu inside the open editor: OpenPlugin from the editor.
  void pluginMenu();

  // The attribute of the last ECTL_ADDCOLOR that covers the cell, or -1 when
  // none does (the editor's own colour).
  int colorAt(int line, int column) const;

  std::vector<std::string> calls;
  std::vector<EditorColor> colors;  // every ECTL_ADDCOLOR since the last redraw()
  std::vector<std::string> titles;  // every console title set
  int messageAnswer = 0;
  bool convertsText = false;    // CharTable detects a table for every text
  std::deque<int> menuAnswers;  // one per menu, then -1 (Escape)
  FakeEditor editor;
  std::vector<std::function<void()>> inEditor;  // the nth for the nth editor opened
  int editorsOpened = 0;
  bool quitRequested = false;

private:
  std::string savedVersion_;  // the program's version text, put back at the end
};

}  // namespace orbis::testing
