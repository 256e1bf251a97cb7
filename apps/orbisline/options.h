// The command line of the orbisline executable.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "console_host/key_script.h"
#include "platform/shared/console.h"

namespace orbis::app {

// View: the terminal host (no mode named), which writes what --dump writes
// when standard output is not a terminal.
enum class Mode { None, Help, Version, View, Tree, Dump, Runs, Headless };

struct Options {
  Mode mode = Mode::None;
  std::string file;          // View: empty for the welcome pages, "-" for standard input
  std::string settingsFile;  // empty: the user's, else Orbisline.obs beside the plug-in module
  int width = 0;             // 0: not given
  int height = 0;            // 0: not given
  bool color = false;        // --dump --color
  bool raw = false;          // --dump writes the temporary file's bytes unchanged
  std::string batchFile;     // --tree, --dump, --runs: the file that names the pages, one a line
  // --headless
  std::vector<console::ScriptToken> keys;
  bool keysGiven = false;
  std::string traceFile;  // empty: none; "-": standard output
  bool edit = false;
  std::optional<std::string> hostVersion;
};

// The largest console the options accept in either direction.
constexpr int MaxConsoleCells = 32767;

// Fills options from argv. False on a usage error, with a one-line reason in
// error (no program name, no line feed).
bool parseOptions(int argc, const char* const* argv, Options& options, std::string& error);

// The text that --help prints.
const char* usageText();

// The console the options ask for: their width and height, else the
// terminal's when standard output is one, else 80 by 25.
platform::ConsoleSize consoleSizeFor(const Options& options);

}  // namespace orbis::app
