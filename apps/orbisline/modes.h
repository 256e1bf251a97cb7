// The three modes of the executable. Each returns the process exit code:
// 0 done, 1 the file could not be read or was refused (one line on stderr).
#pragma once

#include <string>

#include "options.h"

namespace orbis::app {

// Fixes the console size that layout, the writer and the hosts see: the
// options, else the terminal's when standard output is one, else 80x25.
void fixConsoleSize(const Options& options);

// Writes "orbisline: MESSAGE" and a line feed to standard error.
void reportError(const std::string& message);

// Prints the parsed tree of any readable file.
int runTree(const Options& options);

// Loads the file as the viewer does and prints the temporary file.
int runDump(const Options& options);

// Loads the file as the viewer does and prints the rendered model.
int runRuns(const Options& options);

}  // namespace orbis::app
