// The command line of the orbisline executable.
#pragma once

#include <string>

namespace orbis::app {

enum class Mode { None, Help, Tree, Dump, Runs };

struct Options {
  Mode mode = Mode::None;
  std::string file;
  std::string settingsFile;  // empty: Orbisline.obs beside the executable
  int width = 0;             // 0: not given
  int height = 0;            // 0: not given
  bool raw = false;          // --dump writes the temporary file's bytes unchanged
};

// The largest console the options accept in either direction.
constexpr int MaxConsoleCells = 32767;

// Fills options from argv. False on a usage error, with a one-line reason in
// error (no program name, no line feed).
bool parseOptions(int argc, const char* const* argv, Options& options, std::string& error);

// The text that --help prints.
const char* usageText();

}  // namespace orbis::app
