// The editor's events: each redraw of a document's own editor is painted,
// and a save in it is answered with a notice (the file saved is only the
// temporary one). Every other event, and every event of another editor, is
// left alone.
#include "host/editor_events.h"

#include "host/colorize.h"
#include "host/host_calls.h"
#include "host/link_following.h"
#include "host/plugin.h"
#include "host/plugin_state.h"
#include "platform/shared/console.h"

namespace orbis::host {

namespace {

constexpr const char* SaveNotice = "Sorry, but saving mechanism is not implemented yet";

}  // namespace

bool bindEditor(PluginState& state, int editorId) {
  Showing& showing = state.showing;
  if (showing.titlePending) {
    platform::setConsoleTitle(DefaultConsoleTitle);
    showing.titlePending = false;
    showing.editorId = editorId;
    return true;
  }
  return editorId == showing.editorId;
}

int processEditorEvent(int event, void*) {
  PluginState& state = pluginState();
  if (state.currentDocument == nullptr || (event != EE_SAVE && event != EE_REDRAW)) return 0;
  EditorInfo info = editorInfo();
  if (!bindEditor(state, info.EditorID)) return 0;
  if (event == EE_SAVE) {
    showMessage(SaveNotice, MenuTitle, "Ok");
    return 0;
  }
  // A page opened for a link with a fragment goes to that anchor first.
  if (!state.showing.fragment.empty()) {
    std::string fragment = std::move(state.showing.fragment);
    state.showing.fragment.clear();
    if (jumpToAnchor(info, fragment)) info = editorInfo();
  }
  // Where a search landed is where the cursor is now.
  if (state.searching &&
      (info.CurLine != state.searchedFrom.line || info.CurPos != state.searchedFrom.column)) {
    state.searching = false;
    state.cursorLine = info.CurLine;
    state.cursorColumn = static_cast<int16_t>(info.CurPos);
  }
  colorize(info);
  return 0;
}

}  // namespace orbis::host
