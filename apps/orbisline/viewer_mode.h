// The viewer: orbisline [--settings FILE] [FILE | DIR | -] opens the page
// in the terminal host, which plays the host's part around the plug-in
// module on a real terminal. When standard output is not a terminal, it
// writes what --dump writes instead.
#pragma once

#include <chrono>

#include "options.h"

namespace orbis::app {

// Returns the exit code: 0 when the user left the viewer (or the dump was
// written); 1 with one line on stderr when the page, the terminal or the
// module cannot be used, or the page was refused, in which case nothing has
// been drawn. programStart is when the program began, for the timing report.
int runViewer(const Options& options, std::chrono::steady_clock::time_point programStart);

}  // namespace orbis::app
