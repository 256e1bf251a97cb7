// The editor turned into a viewer, through ProcessEditorInput: which keys
// reach the editor, where the saved cursor goes, and what Enter, a click
// and the mouse follow. Each test plays its events inside page A's editor.
#include <string>
#include <vector>

#include "host/plugin_fixture.h"

namespace orbis::testing {
namespace {

constexpr const char* NoLink = "Orbisline - Far";

using EditorInputTest = PluginTest;

TEST_F(EditorInputTest, OnlyMovingKeysAndAFewFunctionKeysReachTheEditor) {
  struct Case {
    uint16_t code;
    int result;  // 0: the editor handles it
  };
  const Case cases[] = {
      {VK_LEFT, 0}, {VK_RIGHT, 0}, {VK_UP, 0},         {VK_DOWN, 0},   {VK_PRIOR, 0},
      {VK_NEXT, 0}, {VK_HOME, 0},  {VK_END, 0},        {VK_INSERT, 0}, {VK_F1, 0},
      {VK_F6, 0},   {VK_F7, 0},    {VK_F8, 0},         {VK_F11, 0},    {VK_F12, 0},
      {'A', 1},     {'5', 1},      {VK_SPACE, 1},      {VK_DELETE, 1}, {VK_ESCAPE, 1},
      {VK_F2, 1},   {VK_F3, 1},    {VK_F4, 1},         {VK_F5, 1},     {VK_F9, 1},
      {VK_F10, 1},  {VK_SHIFT, 1}, {VK_OEM_PERIOD, 1}, {VK_BACK, 1},
  };
  const uint32_t modifiers[] = {0, SHIFT_PRESSED, LEFT_CTRL_PRESSED, RIGHT_ALT_PRESSED,
                                SHIFT_PRESSED | LEFT_CTRL_PRESSED | ENHANCED_KEY};
  EXPECT_EQ(host.key('A'), 0);  // no document shown
  host.inEditor = {[&] {
    host.editor.line = 10;  // no link on it
    for (const Case& c : cases) {
      for (uint32_t state : modifiers) {
        EXPECT_EQ(host.key(c.code, state), c.result) << c.code << " state " << state;
      }
      EXPECT_EQ(host.key(c.code, 0, false), 1) << "release of " << c.code;
    }
    INPUT_RECORD focus{};
    focus.EventType = FOCUS_EVENT;
    EXPECT_EQ(ProcessEditorInput(&focus), 1);
    // Another editor's events are left alone once A's editor is bound.
    host.editor.id = 2;
    EXPECT_EQ(host.key('A'), 0);
    EXPECT_EQ(host.mouse(3, 3, FROM_LEFT_1ST_BUTTON_PRESSED, 0), 0);
    host.editor.id = 1;
  }};
  open(siteA);
  EXPECT_EQ(actions(), std::vector<std::string>{"EDITOR \"A\" 0"});
}

// The arrows store the cell the cursor is about to reach, other keys the
// cell it is on: the next redraw lights the link there.
TEST_F(EditorInputTest, ArrowsStoreTheCellTheCursorWillReach) {
  struct Case {
    int line;
    int column;
    uint16_t code;
    const char* title;
  };
  const Case cases[] = {
      {0, 5, VK_RIGHT, "b.htm"},
      {0, 13, VK_LEFT, "b.htm"},
      {0, 12, VK_RIGHT, NoLink},
      {0, 6, VK_LEFT, NoLink},
      {1, 8, VK_UP, "b.htm"},
      {1, 20, VK_DOWN, "c.htm#part"},
      {4, 5, VK_UP, "c.htm#part"},
      {0, 8, VK_DOWN, NoLink},
      {0, 12, VK_END, "b.htm"},
      {0, 12, VK_NEXT, "b.htm"},
      {5, 6, VK_F7, "b.htm"},
      // Left from a link's first cell leaves it; from its second it stays.
      {0, 15, VK_LEFT, NoLink},
      {0, 16, VK_LEFT, "#Mid"},
  };
  host.inEditor = {[&] {
    for (const Case& c : cases) {
      host.editor.line = c.line;
      host.editor.column = c.column;
      EXPECT_EQ(host.key(c.code, SHIFT_PRESSED), 0);
      host.redraw();
      EXPECT_EQ(host.titles.back(), c.title) << c.line << "," << c.column << " key " << c.code;
    }
  }};
  open(siteA);
}

// Enter follows the link at the saved cursor, looked for only on the lines
// of the screen: a link to a page opens it next, an anchor moves the cursor
// (the column stays; the view shows the end of the text rather than put a
// late anchor on the top line), a missing page or anchor changes nothing
// but says so.
TEST_F(EditorInputTest, EnterFollowsTheLinkAtTheSavedCursorOnTheScreen) {
  struct Case {
    int line;
    int column;
    int top;
    int height;
    std::vector<std::string> then;  // after the editor of A
    const char* version = "1.70";
  };
  const std::vector<std::string> toB = {"QUIT", "REDRAW", "EDITOR \"B\" 0"};
  const std::vector<std::string> toC = {"QUIT", "REDRAW", "EDITOR \"C\" 0"};
  const std::vector<std::string> nothing = {"REDRAW"};
  const Case cases[] = {
      {0, 8, 0, 23, toB},
      {0, 8, 0, 23, nothing, "1.63"},  // only anchors before 1.64
      {0, 16, 0, 23, {"SETPOSITION 21 16 21", "REDRAW"}, "1.63"},
      {5, 5, 0, 6, toB},
      {5, 5, 5, 1, toB},
      {5, 5, 0, 5, nothing},
      {5, 5, 6, 23, nothing},
      {2, 70, 0, 23, toC},
      {3, 0, 3, 23, toC},
      {2, 20, 3, 23, toC},  // the piece on line 3 is on the screen
      {2, 20, 0, 2, nothing},
      {0, 16, 0, 23, {"SETPOSITION 21 16 21", "REDRAW"}},
      // The anchor's line goes to the top while more than a screen of text
      // follows it; exactly a screen, and the end of the text fills it.
      {0, 16, 0, 60, {"SETPOSITION 21 16 21", "REDRAW"}},
      {0, 16, 0, 61, {"SETPOSITION 21 16 23", "REDRAW"}},
      {0, 21, 0, 23, {"SETPOSITION 82 21 61", "REDRAW"}},
      {0, 26, 0, 23, {"MESSAGE 5 0 \"Orbisline\" \"No anchor #nowhere in this page\" 0", "REDRAW"}},
      {0,
       35,
       0,
       23,
       {"MESSAGE 5 0 \"Orbisline\" \"Cannot open missing.htm: no such file\" 0", "REDRAW"}},
      {0, 14, 0, 23, nothing},
      {10, 0, 0, 23, nothing},
  };
  for (const Case& c : cases) {
    host.start(c.version);
    host.calls.clear();
    host.inEditor = {[&] {
      host.editor.height = c.height;
      host.editor.line = c.line;
      host.editor.column = c.column;
      host.editor.top = c.top;
      EXPECT_EQ(host.key(VK_RETURN, LEFT_CTRL_PRESSED), 1);
    }};
    host.editorsOpened = 0;
    open(siteA);
    std::vector<std::string> expected = {"EDITOR \"A\" 0"};
    expected.insert(expected.end(), c.then.begin(), c.then.end());
    EXPECT_EQ(actions(), expected) << c.line << "," << c.column << " top " << c.top;
  }
  host.editor.height = 23;
}

// Backspace reopens the page left for this one at the line it was left
// at, and takes it off the history without pushing the page it leaves.
TEST_F(EditorInputTest, BackspaceReopensThePreviousPageAtItsLine) {
  auto back = [&] { EXPECT_EQ(host.key(VK_BACK, LEFT_CTRL_PRESSED), 1); };
  host.inEditor = {follow(5, 5), back, back};
  open(siteA);
  EXPECT_EQ(actions(), (std::vector<std::string>{"EDITOR \"A\" 0", "QUIT", "REDRAW",
                                                 "EDITOR \"B\" 0", "QUIT", "EDITOR \"A\" 5"}));
}

// A move to a new cell of the text area makes it the saved cursor; keys
// move the saved cursor without the pointer, which must leave its cell and
// come back to take it again. A left click follows the link at the saved
// cursor, not at the clicked cell; any other button moves.
TEST_F(EditorInputTest, TheMouseMovesTheSavedCursorAndALeftClickFollowsIt) {
  struct Step {
    int16_t column;
    int16_t row;
    uint32_t buttons;
    uint16_t key;  // pressed at line 10 instead of a mouse event
    int result;
    bool redraws;
    const char* title;
  };
  const Step steps[] = {
      {7, 1, 0, 0, 0, true, "b.htm"},
      {7, 1, 0, 0, 0, false, "b.htm"},   // the same cell
      {0, 0, 0, 0, 0, false, "b.htm"},   // above the text area
      {7, 24, 0, 0, 0, false, "b.htm"},  // the key bar's row: no cell of the text
      {5, 23, 0, 0, 0, true, NoLink},    // the last row: line 22
      {0, 0, 0, VK_DOWN, 0, false, NoLink},
      {7, 1, 0, 0, 0, true, "b.htm"},
      {0, 0, 0, VK_DOWN, 0, false, NoLink},
      {7, 1, 0, 0, 0, false, NoLink},  // lastMouse: not taken again
      {50, 4, FROM_LEFT_1ST_BUTTON_PRESSED, 0, 0, true, NoLink},
      {5, 4, RIGHTMOST_BUTTON_PRESSED, 0, 0, true, "c.htm#part"},
  };
  host.inEditor = {[&] {
    host.mouse(79, 20);  // away from wherever an earlier test left the pointer
    for (const Step& s : steps) {
      host.calls.clear();
      if (s.key != 0) {
        host.editor.line = 10;
        EXPECT_EQ(host.key(s.key), s.result);
      } else {
        EXPECT_EQ(host.mouse(s.column, s.row, s.buttons), s.result) << s.column << "," << s.row;
      }
      EXPECT_EQ(host.calls,
                s.redraws ? std::vector<std::string>{"REDRAW"} : std::vector<std::string>{})
          << s.column << "," << s.row << " key " << s.key;
      host.redraw();
      EXPECT_EQ(host.titles.back(), s.title) << s.column << "," << s.row << " key " << s.key;
    }
    host.calls.clear();
    EXPECT_EQ(host.mouse(70, 12, FROM_LEFT_1ST_BUTTON_PRESSED, DOUBLE_CLICK), 1);
    EXPECT_EQ(actions(), (std::vector<std::string>{"QUIT", "REDRAW"}));
  }};
  open(siteA);
  EXPECT_EQ(actions().back(), "EDITOR \"C\" 0");
}

}  // namespace
}  // namespace orbis::testing
