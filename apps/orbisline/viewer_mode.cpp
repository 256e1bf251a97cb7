#include "viewer_mode.h"

#include <string>

#include "config/colors.h"
#include "console_host/host_model.h"
#include "host_modes.h"
#include "platform/shared/console.h"
#include "platform/terminal.h"
#include "report.h"
#include "terminal_host/host_colors.h"
#include "terminal_host/terminal_front_end.h"

namespace orbis::app {

namespace {

struct StreamsCloser {
  platform::TerminalStreams& streams;
  ~StreamsCloser() { platform::closeTerminalStreams(streams); }
};

}  // namespace

// The screen starts only when the plug-in first draws, so a refused page
// leaves the terminal untouched.
int runViewer(const Options& options, const std::string& page,
              std::chrono::steady_clock::time_point programStart) {
  std::string error;
  platform::TerminalStreams streams;
  if (!platform::openTerminalStreams(streams, error)) {
    reportError(error);
    return 1;
  }
  StreamsCloser closer{streams};
  terminal::TerminalScreen screen(streams);
  Plugin plugin;
  if (!screen.usable(error)) {
    reportError(error);
    return 1;
  }
  if (!preparePlugin(options, plugin)) return 1;
  Palette palette;
  terminal::EventTiming timing(programStart);
  terminal::TerminalFrontEnd frontEnd(screen, terminal::hostColors(palette), timing);
  platform::ConsoleSize size;
  platform::consoleMaxWindowSize(size);
  bool shown = false;
  std::string notice;
  {
    // No character table is offered: titles reach the screen in the page's
    // own code page, which the terminal shows whole.
    console::HostModel host(plugin.entryPoints, frontEnd, size);
    host.start(plugin.path);
    shown = host.openFromCommandLine(page);
    notice = host.lastNotice();
    host.stop();
  }
  screen.stop();
  if (screen.closed()) {
    // The window went away without a hangup signal: end as if it came.
    platform::endAsHangup();
    return 1;
  }
  if (!frontEnd.failure().empty()) {
    reportError(frontEnd.failure());
    return 1;
  }
  if (shown) return 0;
  reportError(describeNotShown(page, notice));
  return 1;
}

}  // namespace orbis::app
