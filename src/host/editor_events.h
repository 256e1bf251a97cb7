// Which editor shows the current document: the first editor that reports
// an event while the document is current becomes it (the open loop opens it
// just before), so that events of other editors are left alone.
#pragma once

#include "host/plugin_state.h"

namespace orbis::host {

// Binds the current document to editorId when it has no editor yet (and
// sets the console title to the viewer's); true when editorId is its own.
bool bindEditor(PluginState& state, int editorId);

}  // namespace orbis::host
