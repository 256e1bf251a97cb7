// The viewer: opens a page in the terminal host, which plays the host's part
// around the plug-in module on a real terminal.
#pragma once

#include <chrono>
#include <string>

#include "options.h"

namespace orbis::app {

// Shows page until the user leaves. Returns the exit code: 0 when the user
// left the viewer; 1 with one line on stderr when the terminal or the module
// cannot be used, or the page was refused, in which case nothing has been
// drawn. programStart is when the program began, for the timing report.
int runViewer(const Options& options, const std::string& page,
              std::chrono::steady_clock::time_point programStart);

}  // namespace orbis::app
