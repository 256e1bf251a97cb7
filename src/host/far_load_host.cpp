#include "host/far_load_host.h"

#include "host/plugin_state.h"
#include "render/document.h"

namespace orbis::host {

void installLoadHost() { setLoadHost(&pluginState().startup); }

void removeLoadHost() { setLoadHost(nullptr); }

}  // namespace orbis::host
