// The modes that render a page in this process, with the executable's own
// renderer and settings, and never load the plug-in module: --tree, --dump
// and --runs. Each returns the process exit code: 0 done, 1 the file could
// not be read or was refused, or the output could not be written (one line
// on stderr, none for a reader that closed the pipe).
#pragma once

#include <string>

#include "config/settings.h"
#include "options.h"

namespace orbis::app {

// Prints the usage text.
int runHelp();

// Prints the parsed tree of any readable file that is not empty.
int runTree(const Options& options, const Settings& settings);

// Loads file as the viewer does and prints the temporary file: its bytes
// unchanged with --raw (refused with 2 when stdout is a terminal), else
// without a control byte but the line feed.
int runDump(const Options& options, const std::string& file, const Settings& settings);

// Loads the file as the viewer does and prints the rendered model.
int runRuns(const Options& options, const Settings& settings);

// One of the modes above on the page options.file names.
using PageMode = int (*)(const Options& options, const Settings& settings);

// Runs mode on each page that the file options.batchFile names, one a line
// (empty lines skipped), each output after a line "==> PAGE <==" (the name
// escaped as --tree escapes text). Returns the highest exit code of the
// pages, or 1 with the reason on stderr when the list cannot be read.
int runBatch(const Options& options, const Settings& settings, PageMode mode);

}  // namespace orbis::app
