#include "options.h"

#include <charconv>
#include <cstring>
#include <string_view>

#include "console_host/text_output.h"
#include "platform/process.h"

namespace orbis::app {

namespace {

const char Usage[] =
    "Usage: orbisline [--settings FILE] [FILE | DIR | -]\n"
    "       orbisline --dump [--raw | --color] [--width W] [--height H]\n"
    "                 [--settings FILE] FILE\n"
    "       orbisline --runs [--width W] [--height H] [--settings FILE] FILE\n"
    "       orbisline --tree [--settings FILE] FILE\n"
    "       orbisline --tree | --runs | --dump [--raw] [OPTION...] --batch LIST\n"
    "       orbisline --headless [--keys SCRIPT] [--trace FILE] [--width W]\n"
    "                 [--height H] [--settings FILE] [--host-version TEXT] [--edit]\n"
    "                 FILE\n"
    "       orbisline --help | --version\n"
    "\n"
    "Shows an HTML file in the terminal as a text viewer, renders it the way the\n"
    "viewer shows it, or runs the viewer's plug-in module in a host without a\n"
    "screen.\n"
    "\n"
    "Without a mode, orbisline opens FILE in the viewer; DIR opens DIR/index.html\n"
    "(or index.htm); '-' reads the page from standard input and the keys from the\n"
    "terminal; no FILE opens the welcome pages. When standard output is not a\n"
    "terminal, it writes what --dump writes instead. Keys in the viewer: the\n"
    "arrows, PgUp, PgDn, Home, End, Ctrl+Home and Ctrl+End move; Enter or a left\n"
    "click follows a link; Tab and Shift+Tab go to the next and the previous\n"
    "link; Backspace goes back; F7 searches, Shift+F7 and Alt+F7\n"
    "find the next and the previous place; F11 opens the viewer's menu (back,\n"
    "document colours); F1 shows help; F10, Esc or q leaves. A pager's keys work\n"
    "too: Space, b, j, k, g, G, /, n, N.\n"
    "\n"
    "Modes:\n"
    "  --dump           print the rendered text, as the viewer's editor shows it\n"
    "  --runs           print the rendered lines with their runs, colours, links\n"
    "                   and anchors\n"
    "  --tree           print the document tree that the parser builds from FILE\n"
    "  --headless       open FILE in the plug-in as the command line \"ob:FILE\" does,\n"
    "                   play SCRIPT in the editors that open, then leave\n"
    "  --help           print this text\n"
    "  --version        print the program's version\n"
    "\n"
    "Options:\n"
    "  --width W        console width, at least 2 (default: the terminal's, else 80)\n"
    "  --height H       console height, at least 1 (default: the terminal's, else 25)\n"
    "  --settings FILE  read the settings from FILE instead of the user's\n"
    "                   $XDG_CONFIG_HOME/orbisline/Orbisline.obs (~/.config when\n"
    "                   unset) or, when that does not exist, Orbisline.obs in the\n"
    "                   directory of the plug-in module\n"
    "  --color          with --dump: colour the text as the plug-in paints it, with\n"
    "                   ANSI escape sequences\n"
    "  --raw            with --dump: write the bytes exactly as the viewer's file\n"
    "                   holds them, control bytes included (never to a terminal)\n"
    "  --keys SCRIPT    with --headless: keys and mouse actions separated by blanks:\n"
    "                   Up Down Left Right PgUp PgDn Home End Enter BS Tab Esc Ins\n"
    "                   Del F1..F12 Space or one printable character, each after\n"
    "                   any of Ctrl+ Alt+ Shift+; move:COL,ROW and click:COL,ROW\n"
    "                   (console cells); pick:N (the answer to the next menu or\n"
    "                   box, -1 for Escape); save; other (input from another\n"
    "                   editor)\n"
    "  --trace FILE     with --headless: write what passes between host and plug-in\n"
    "                   to FILE, one line per event ('-': standard output)\n"
    "  --host-version TEXT\n"
    "                   the version the host presents to the plug-in (default 1.70)\n"
    "  --edit           with --headless: open FILE in a plain editor instead, from\n"
    "                   which F11 opens the plug-in\n"
    "  --batch LIST     with --tree, --runs or --dump: do it for each page that the\n"
    "                   file LIST names, one a line, in this one process, each\n"
    "                   output after a line '==> PAGE <=='\n"
    "  --               end of the options, for a FILE whose name begins with '-'\n"
    "\n"
    "--dump writes no control byte but the line feed (and, with --color, the\n"
    "colour sequences): to a terminal, or when the locale's character set is\n"
    "UTF-8, it writes UTF-8 with controls as visible pictures; otherwise\n"
    "controls and the bytes 0x80 to 0x9F become '?'.\n"
    "\n"
    "The plug-in module is Orbisline.so beside the executable (or installed under\n"
    "lib/orbisline/), or the file that ORBISLINE_PLUGIN names. Every mode but\n"
    "--tree accepts only files whose extension the settings list (htm and html by\n"
    "default); every mode refuses an empty file. '-' as FILE reads the page from\n"
    "standard input in --dump, --runs and --tree too. A document's text is shown in\n"
    "the code page ORBISLINE_CODEPAGE names (CP1252 by default), the viewer's own\n"
    "texts in the one ORBISLINE_OEMCP names (CP437 by default).\n"
    "\n"
    "Exit status: 0 done, or the viewer was left; 1 the file, the settings, the\n"
    "plug-in module, the terminal, a temporary file or the output could not be\n"
    "read or written, or the file was refused; 2 wrong command line, an unknown\n"
    "key script token, or --raw to a terminal. Ended by a signal (a closed pipe's\n"
    "SIGPIPE, Ctrl-C, a closed terminal), the program restores the terminal,\n"
    "removes its temporary files and dies of that signal.\n";

// --help wins over any mode, then --version; two different modes are an
// error.
bool setMode(Options& options, Mode mode, std::string& error) {
  for (Mode winner : {Mode::Help, Mode::Version}) {
    if (mode == winner || options.mode == winner) {
      options.mode = winner;
      return true;
    }
  }
  if (options.mode != Mode::None && options.mode != mode) {
    error = "only one of --tree, --dump, --runs and --headless may be given";
    return false;
  }
  options.mode = mode;
  return true;
}

Mode modeNamed(std::string_view argument) {
  if (argument == "--tree") return Mode::Tree;
  if (argument == "--dump") return Mode::Dump;
  if (argument == "--runs") return Mode::Runs;
  if (argument == "--headless") return Mode::Headless;
  if (argument == "--version") return Mode::Version;
  return Mode::None;
}

// The options that take no value: each switches one thing on.
bool* flagNamed(std::string_view argument, Options& options) {
  if (argument == "--color") return &options.color;
  if (argument == "--raw") return &options.raw;
  if (argument == "--edit") return &options.edit;
  return nullptr;
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
bool takeValue(std::string_view argument, std::string_view name, int argc, const char* const* argv,
               int& index, std::string_view& value, bool& matched, std::string& error) {
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

bool takeFileName(std::string_view name, std::string_view value, std::string& out,
                  std::string& error) {
  if (value.empty()) {
    error = std::string(name) + " needs a file name";
    return false;
  }
  out = std::string(value);
  return true;
}

// The script is checked whole before anything runs. The token is shown
// escaped: it goes to a terminal.
bool parseKeys(std::string_view script, Options& options, std::string& error) {
  std::string unknown;
  options.keysGiven = true;
  if (console::parseKeyScript(script, options.keys, unknown)) return true;
  error = "unknown key script token ";
  console::appendQuoted(error, unknown);
  return false;
}

bool parseValueOption(std::string_view argument, int argc, const char* const* argv, int& index,
                      Options& options, bool& matched, std::string& error) {
  std::string_view value;
  if (!takeValue(argument, "--width", argc, argv, index, value, matched, error)) return false;
  if (matched) return parseSize("--width", value, 2, options.width, error);
  if (!takeValue(argument, "--height", argc, argv, index, value, matched, error)) return false;
  if (matched) return parseSize("--height", value, 1, options.height, error);
  if (!takeValue(argument, "--settings", argc, argv, index, value, matched, error)) return false;
  if (matched) return takeFileName("--settings", value, options.settingsFile, error);
  if (!takeValue(argument, "--trace", argc, argv, index, value, matched, error)) return false;
  if (matched) return takeFileName("--trace", value, options.traceFile, error);
  if (!takeValue(argument, "--host-version", argc, argv, index, value, matched, error)) {
    return false;
  }
  if (matched) {
    options.hostVersion = std::string(value);
    return true;
  }
  if (!takeValue(argument, "--keys", argc, argv, index, value, matched, error)) return false;
  if (matched) return parseKeys(value, options, error);
  if (!takeValue(argument, "--batch", argc, argv, index, value, matched, error)) return false;
  if (matched) return takeFileName("--batch", value, options.batchFile, error);
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

// Options that belong to one mode only.
bool checkModeOptions(const Options& options, std::string& error) {
  bool headless = options.mode == Mode::Headless;
  bool diagnostic =
      options.mode == Mode::Tree || options.mode == Mode::Dump || options.mode == Mode::Runs;
  if (options.color && options.mode != Mode::Dump) {
    error = "--color applies to --dump only";
  } else if (options.raw && options.mode != Mode::Dump) {
    error = "--raw applies to --dump only";
  } else if (options.raw && options.color) {
    error = "--raw and --color cannot be used together";
  } else if (!headless && (options.keysGiven || !options.traceFile.empty() || options.edit)) {
    error = "--keys, --trace and --edit apply to --headless only";
  } else if (options.hostVersion && !headless && !options.color) {
    error = "--host-version applies to --headless and --dump --color only";
  } else if (!options.batchFile.empty() && (options.color || !diagnostic)) {
    error = "--batch applies to --tree, --runs and --dump without --color only";
  } else if (!options.batchFile.empty() && !options.file.empty()) {
    error = "--batch names the pages: no FILE may be given with it";
  } else {
    return true;
  }
  return false;
}

bool checkComplete(Options& options, std::string& error) {
  if (options.mode == Mode::Help || options.mode == Mode::Version) return true;
  if (options.mode == Mode::None) options.mode = Mode::View;
  if (!checkModeOptions(options, error)) return false;
  if (options.mode == Mode::View) {
    bool sized = options.width != 0 || options.height != 0;
    if (sized) error = "--width and --height apply to --dump, --runs and --headless only";
    return !sized;
  }
  if (options.file.empty() && options.batchFile.empty()) {
    error = "no FILE given";
    return false;
  }
  if (options.mode == Mode::Tree && (options.width != 0 || options.height != 0)) {
    error = "--width and --height apply to --dump, --runs and --headless only";
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
    if (Mode mode = modeNamed(argument); mode != Mode::None) {
      if (!setMode(options, mode, error)) return false;
      continue;
    }
    if (bool* flag = flagNamed(argument, options); flag != nullptr) {
      *flag = true;
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

platform::ConsoleSize consoleSizeFor(const Options& options) {
  constexpr platform::ConsoleSize Default{80, 25};
  platform::ConsoleSize size = Default;
  platform::ConsoleSize terminal;
  if (platform::isTerminal(platform::StandardStream::Output) &&
      platform::consoleMaxWindowSize(terminal)) {
    size = terminal;
  }
  if (options.width != 0) size.columns = options.width;
  if (options.height != 0) size.rows = options.height;
  return size;
}

}  // namespace orbis::app
