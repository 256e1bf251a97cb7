// The modes that run the plug-in module in the headless host: --headless,
// which plays a key script and writes a trace, and --dump --color, which
// prints what the plug-in paints. Each returns the process exit code: 0
// done, 1 the module, the trace file, FILE or the output could not be used
// (one line on stderr, none for a reader that closed the pipe).
#pragma once

#include "options.h"

namespace orbis::app {

int runHeadless(const Options& options);

int runColorDump(const Options& options);

}  // namespace orbis::app
