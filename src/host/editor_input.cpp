// The editor's input: the plug-in turns the editor into a viewer. Only
// cursor movement, Insert and a few function keys reach the editor; Enter
// and a left click follow the link at the saved cursor, Backspace goes back
// through the history, Tab and Shift+Tab go to the next and the previous
// link. The saved cursor is the cell whose link shows as active: the arrow
// keys store the cell the cursor is about to reach, so the redraw after the
// editor's move already lights the right link, a mouse move stores the text
// cell under the pointer, and Tab the link it goes to.
#include <string>
#include <string_view>

#include "host/colorize.h"
#include "host/editor_events.h"
#include "host/host_calls.h"
#include "host/link_following.h"
#include "host/link_tabbing.h"
#include "host/open_flow.h"
#include "host/plugin.h"
#include "host/plugin_state.h"
#include "host/version.h"

namespace orbis::host {

namespace {

int16_t screenCell(int64_t value) { return static_cast<int16_t>(value); }

// Looks for the link only on the lines of the screen; the first of its
// pieces there (in line and run order) is followed.
bool followLinkAtCursor(const EditorInfo& info) {
  const PluginState& state = pluginState();
  const Document& document = *state.currentDocument;
  const TextRun* active = linkAt(document, state.cursorColumn, state.cursorLine);
  if (active == nullptr) return false;
  const int64_t lineCount = static_cast<int64_t>(document.lines.size());
  const int64_t end = std::min(int64_t{info.TopScreenLine} + info.WindowSizeY, lineCount);
  for (int64_t i = std::max<int64_t>(info.TopScreenLine, 0); i < end; ++i) {
    for (const TextRun& run : document.lines[static_cast<std::size_t>(i)].runs) {
      if (!run.isLink() || run.firstPiece != active->firstPiece) continue;
      // The target is copied: following it may replace the document.
      followLink(info, std::string(document.targetOf(run)));
      return true;
    }
  }
  return false;
}

// The keys that reach the editor: movement, Insert, F1, F6 to F8, F11, F12.
// Shift, Ctrl and Alt are not looked at, but for Tab.
int onKeyDown(const EditorInfo& info, const KEY_EVENT_RECORD& key) {
  PluginState& state = pluginState();
  state.cursorColumn = screenCell(info.CurPos);
  state.cursorLine = info.CurLine;
  state.searching = key.wVirtualKeyCode == VK_F7;
  state.searchedFrom = {info.CurLine, info.CurPos};
  switch (key.wVirtualKeyCode) {
    case VK_BACK:
      goBack(DropEntry::BeforeLoading);
      return 1;
    case VK_RETURN:
      followLinkAtCursor(info);
      editorControl(ECTL_REDRAW, nullptr);
      return 1;
    case VK_TAB:
      moveToLink(info, (key.dwControlKeyState & SHIFT_PRESSED) != 0);
      return 1;
    case VK_LEFT:
      state.cursorColumn = screenCell(int64_t{info.CurPos} - 1);
      return 0;
    case VK_RIGHT:
      state.cursorColumn = screenCell(int64_t{info.CurPos} + 1);
      return 0;
    case VK_UP:
      state.cursorLine = static_cast<int32_t>(int64_t{info.CurLine} - 1);
      return 0;
    case VK_DOWN:
      state.cursorLine = static_cast<int32_t>(int64_t{info.CurLine} + 1);
      return 0;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_INSERT:
    case VK_F1:
    case VK_F6:
    case VK_F7:
    case VK_F8:
    case VK_F11:
    case VK_F12:
      return 0;
    default:
      return 1;  // swallowed: the text cannot be changed
  }
}

// A left click follows the link at the saved cursor (which the pointer's
// last move set), not at the clicked cell. A move to a new cell on the text
// area makes the text cell under it the saved cursor (the screen cell's
// column counts from the editor's left column).
int onMouse(const EditorInfo& info, const MOUSE_EVENT_RECORD& mouse) {
  PluginState& state = pluginState();
  if (mouse.dwButtonState == FROM_LEFT_1ST_BUTTON_PRESSED) {
    bool followed = followLinkAtCursor(info);
    editorControl(ECTL_REDRAW, nullptr);
    return followed ? 1 : 0;
  }
  MouseCell cell{mouse.dwMousePosition.X, mouse.dwMousePosition.Y};
  if (cell == state.lastMouse) return 0;
  if (cell.row <= 0 || cell.row >= int64_t{info.WindowSizeY} + 1) return 0;
  state.lastMouse = cell;
  state.cursorColumn = screenCell(int64_t{info.LeftPos} + cell.column);
  state.cursorLine = static_cast<int32_t>(int64_t{info.TopScreenLine} + cell.row - 1);
  editorControl(ECTL_REDRAW, nullptr);
  return 0;
}

}  // namespace

int processEditorInput(const INPUT_RECORD& record) {
  PluginState& state = pluginState();
  if (state.currentDocument == nullptr) return 0;
  EditorInfo info = editorInfo();
  if (!bindEditor(state, info.EditorID)) return 0;
  if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown != 0) {
    return onKeyDown(info, record.Event.KeyEvent);
  }
  if (record.EventType == MOUSE_EVENT) return onMouse(info, record.Event.MouseEvent);
  return 1;  // key releases and every other event
}

}  // namespace orbis::host
