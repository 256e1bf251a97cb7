// Everything a load takes from whoever asks for it: the settings, the size
// of the console it lays the page out for, the host that shows its progress
// box and asks the time-out question, and where the reading publishes how
// far it got. Nothing else outside the file reaches a load.
#pragma once

#include <functional>
#include <string_view>

#include "config/settings.h"
#include "markup/byte_source.h"
#include "platform/shared/console.h"
#include "render/load_host.h"

namespace orbis {

struct LoadContext {
  const Settings& settings;
  // Layout's width and the writer's height, as layoutConsoleSize gives them.
  platform::ConsoleSize console;
  // Draws the progress box and asks the time-out question; null shows
  // nothing and goes on after the time-out.
  LoadHost* host = nullptr;
  // Receives the share of the file read so far; null: the load keeps it to
  // itself.
  ReadProgress* progress = nullptr;
  // For a caller that prints the text itself: it gets the text in blocks
  // (as TextWriter gives them) while the page is laid out, and the
  // temporary file is left empty. Null: the text goes to that file.
  const std::function<bool(std::string_view)>* printText = nullptr;
};

// The console size a page is laid out for: the measured size, or 80 by 25
// where it is unknown (a dimension below 1), never narrower than text flow
// can work with.
platform::ConsoleSize layoutConsoleSize(platform::ConsoleSize measured);

constexpr int DefaultConsoleColumns = 80;
constexpr int DefaultConsoleRows = 25;

}  // namespace orbis
