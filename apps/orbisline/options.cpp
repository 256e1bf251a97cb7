#include "options.h"

#include <charconv>
#include <cstring>
#include <string_view>

namespace orbis::app {

namespace {

const char Usage[] =
    "Usage: orbisline --tree [--settings FILE] FILE\n"
    "       orbisline --dump [--raw] [--width W] [--height H] [--settings FILE] FILE\n"
    "       orbisline --runs [--width W] [--height H] [--settings FILE] FILE\n"
    "\n"
    "Renders an HTML file the way the viewer shows it.\n"
    "\n"
    "Modes:\n"
    "  --tree           print the document tree that the parser builds from FILE\n"
    "  --dump           print the rendered text, as the viewer's editor shows it\n"
    "  --runs           print the rendered lines with their runs, colours, links\n"
    "                   and anchors\n"
    "  --help           print this text\n"
    "\n"
    "Options:\n"
    "  --width W        console width, at least 2 (default: the terminal's, else 80)\n"
    "  --height H       console height, at least 1 (default: the terminal's, else 25)\n"
    "  --raw            with --dump: write the bytes exactly as the viewer's file\n"
    "                   holds them, control bytes included (never to a terminal)\n"
    "  --settings FILE  read the settings from FILE instead of Orbisline.obs in the\n"
    "                   directory of the executable\n"
    "  --               end of the options, for a FILE whose name begins with '-'\n"
    "\n"
    "--dump writes no control byte but the line feed: to a terminal, or when the\n"
    "locale's character set is UTF-8, it writes UTF-8 with controls as visible\n"
    "pictures; otherwise controls and the bytes 0x80 to 0x9F become '?'.\n"
    "--dump and --runs accept only files whose extension the settings list\n"
    "(htm and html by default).\n"
    "\n"
    "Exit status: 0 done; 1 the file, the settings or a temporary file could not\n"
    "be read or written, or the output could not be written; 2 wrong command\n"
    "line. Ended by a signal (a closed pipe's SIGPIPE, Ctrl-C), the program\n"
    "removes its temporary files and dies of that signal.\n";

// --help wins over any mode; two different modes are an error.
bool setMode(Options& options, Mode mode, std::string& error) {
  if (mode == Mode::Help || options.mode == Mode::Help) {
    options.mode = Mode::Help;
    return true;
  }
  if (options.mode != Mode::None && options.mode != mode) {
    error = "only one of --tree, --dump and --runs may be given";
    return false;
  }
  options.mode = mode;
  return true;
}

bool parseSize(std::string_view name, std::string_view text, int minimum, int& out,
               std::string& error) {
  int value = 0;
  auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (status != std::errc() || end != text.data() + text.size() || value < minimum ||
      value > MaxConsoleCells) {
    error = std::string(name) + " must be a number from " + std::to_string(minimum) + " to " +
            std::to_string(MaxConsoleCells) + ", not '" + std::string(text) + "'";
    return false;
  }
  out = value;
  return true;
}

// Options that take a value, as "--name VALUE" or "--name=VALUE".
bool takeValue(std::string_view argument, std::string_view name, int argc,
               const char* const* argv, int& index, std::string_view& value, bool& matched,
               std::string& error) {
  matched = false;
  if (argument == name) {
    matched = true;
    if (index + 1 >= argc) {
      error = std::string(name) + " needs a value";
      return false;
    }
    value = argv[++index];
    return true;
  }
  if (argument.size() > name.size() && argument.substr(0, name.size()) == name &&
      argument[name.size()] == '=') {
    matched = true;
    value = argument.substr(name.size() + 1);
    return true;
  }
  return true;
}

bool parseValueOption(std::string_view argument, int argc, const char* const* argv, int& index,
                      Options& options, bool& matched, std::string& error) {
  std::string_view value;
  if (!takeValue(argument, "--width", argc, argv, index, value, matched, error)) return false;
  if (matched) return parseSize("--width", value, 2, options.width, error);
  if (!takeValue(argument, "--height", argc, argv, index, value, matched, error)) return false;
  if (matched) return parseSize("--height", value, 1, options.height, error);
  if (!takeValue(argument, "--settings", argc, argv, index, value, matched, error)) return false;
  if (matched) {
    if (value.empty()) {
      error = "--settings needs a file name";
      return false;
    }
    options.settingsFile = std::string(value);
  }
  return true;
}

bool addFile(std::string_view argument, Options& options, std::string& error) {
  if (!options.file.empty()) {
    error = "only one FILE may be given";
    return false;
  }
  if (argument.empty()) {
    error = "the FILE name is empty";
    return false;
  }
  options.file = std::string(argument);
  return true;
}

bool checkComplete(const Options& options, std::string& error) {
  if (options.mode == Mode::Help) return true;
  if (options.mode == Mode::None) {
    error = "one of --tree, --dump and --runs is needed";
    return false;
  }
  if (options.file.empty()) {
    error = "no FILE given";
    return false;
  }
  if (options.mode == Mode::Tree && (options.width != 0 || options.height != 0)) {
    error = "--width and --height apply to --dump and --runs only";
    return false;
  }
  if (options.raw && options.mode != Mode::Dump) {
    error = "--raw applies to --dump only";
    return false;
  }
  return true;
}

}  // namespace

bool parseOptions(int argc, const char* const* argv, Options& options, std::string& error) {
  bool optionsEnded = false;
  for (int index = 1; index < argc; ++index) {
    std::string_view argument = argv[index];
    if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
      if (!addFile(argument, options, error)) return false;
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    if (argument == "--help" || argument == "-h") {
      if (!setMode(options, Mode::Help, error)) return false;
      continue;
    }
    if (argument == "--tree" || argument == "--dump" || argument == "--runs") {
      Mode mode = argument == "--tree" ? Mode::Tree
                                       : (argument == "--dump" ? Mode::Dump : Mode::Runs);
      if (!setMode(options, mode, error)) return false;
      continue;
    }
    if (argument == "--raw") {
      options.raw = true;
      continue;
    }
    bool matched = false;
    if (!parseValueOption(argument, argc, argv, index, options, matched, error)) return false;
    if (!matched) {
      error = "unknown option '" + std::string(argument) + "'";
      return false;
    }
  }
  return checkComplete(options, error);
}

const char* usageText() { return Usage; }

}  // namespace orbis::app
