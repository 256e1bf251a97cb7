// The modes of the executable. Each returns the process exit code: 0 done,
// 1 the file could not be read or was refused, or the output could not be
// written (one line on stderr, none for a reader that closed the pipe).
#pragma once

#include <string>

#include "options.h"

namespace orbis::app {

// Fixes the console size that layout, the writer and the hosts see: the
// options, else the terminal's when standard output is one, else 80x25.
void fixConsoleSize(const Options& options);

// Writes "orbisline: MESSAGE" and a line feed to standard error.
void reportError(const std::string& message);

// Says why standard output could not be written (error, an errno value) and
// returns 1. A reader that closed the pipe (with SIGPIPE ignored, or it
// would have ended the process) asked for no more output: no message.
int reportOutputFailure(int error);

// Prints the usage text.
int runHelp();

// Prints the parsed tree of any readable file that is not empty.
int runTree(const Options& options);

// Loads the file as the viewer does and prints the temporary file: its bytes
// unchanged with --raw (refused with 2 when stdout is a terminal), else
// without a control byte but the line feed.
int runDump(const Options& options);

// Loads the file as the viewer does and prints the rendered model.
int runRuns(const Options& options);

}  // namespace orbis::app
