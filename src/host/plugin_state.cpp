#include "host/plugin_state.h"

namespace orbis::host {

PluginState& pluginState() {
  static PluginState state;
  return state;
}

}  // namespace orbis::host
