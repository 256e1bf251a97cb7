// The entry points of a plug-in linked into the program instead of loaded:
// only programs that link the plug-in's library include this.
#pragma once

#include "console_host/plugin_module.h"

namespace orbis::console {

inline PluginEntryPoints linkedPlugin() {
  return {SetStartupInfo, GetPluginInfo,      OpenPlugin,
          ExitFAR,        ProcessEditorInput, ProcessEditorEvent};
}

}  // namespace orbis::console
