// The Windows build has no terminal viewer: there the plug-in's own host is
// the viewer, and this program is a test host that writes what it sees.
#include "report.h"
#include "viewer_mode.h"

namespace orbis::app {

int runViewer(const Options&, const std::string&, std::chrono::steady_clock::time_point) {
  reportError("this build has no viewer of its own; use --dump, --tree or --headless");
  return 1;
}

}  // namespace orbis::app
