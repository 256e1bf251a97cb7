// The editor's events: each redraw of a document's own editor is painted,
// and a save in it is answered with a notice (the file saved is only the
// temporary one). Every other event, and every event of another editor, is
// left alone.
#include "host/editor_events.h"

#include "host/colorize.h"
#include "host/host_calls.h"
#include "host/plugin.h"
#include "host/plugin_state.h"
#include "platform/shared/console.h"

namespace orbis::host {

namespace {

constexpr const char* SaveNotice = "Sorry, but saving mechanism is not implemented yet";

}  // namespace

bool bindEditor(PluginState& state, int editorId) {
  EditorBinding& binding = state.binding;
  if (binding.titlePending) {
    platform::setConsoleTitle(DefaultConsoleTitle);
    binding.titlePending = false;
    binding.editorId = editorId;
    return true;
  }
  return editorId == binding.editorId;
}

int processEditorEvent(int event, void*) {
  PluginState& state = pluginState();
  if (state.currentDocument == nullptr || (event != EE_SAVE && event != EE_REDRAW)) return 0;
  EditorInfo info = editorInfo();
  if (!bindEditor(state, info.EditorID)) return 0;
  if (event == EE_SAVE) {
    showMessage(SaveNotice, MenuTitle, "Ok");
  } else {
    colorize(info);
  }
  return 0;
}

}  // namespace orbis::host
