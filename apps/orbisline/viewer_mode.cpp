#include "viewer_mode.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "config/colors.h"
#include "config/settings.h"
#include "console_host/host_model.h"
#include "host_modes.h"
#include "modes.h"
#include "platform/console.h"
#include "platform/process.h"
#include "platform/standard_input.h"
#include "platform/temp_file.h"
#include "platform/terminal.h"
#include "platform/text_file.h"
#include "resources.h"
#include "terminal_host/host_colors.h"
#include "terminal_host/terminal_front_end.h"

namespace orbis::app {

namespace {

constexpr const char* TemporaryPrefix = "~ob";
constexpr const char* IndexPages[] = {"index.html", "index.htm"};

// A page that came through standard input, kept in a private temporary
// file (registered for removal on signals) for as long as this lives.
class PipedPage {
public:
  PipedPage() = default;
  ~PipedPage() {
    if (!path_.empty()) platform::deleteTempFile(path_);
  }
  PipedPage(const PipedPage&) = delete;
  PipedPage& operator=(const PipedPage&) = delete;

  bool read(std::string& error);
  const std::string& path() const { return path_; }

private:
  std::string path_;
};

// The file needs an extension the settings accept: their first.
std::string acceptedExtension() {
  std::string exts = settings != nullptr ? settings->exts : std::string();
  std::size_t blank = exts.find(' ');
  if (blank == std::string::npos || blank == 0) return ".html";
  return "." + exts.substr(0, blank);
}

bool PipedPage::read(std::string& error) {
  std::string extension = acceptedExtension();
  if (!platform::createTempFile(TemporaryPrefix, path_, extension.c_str())) {
    error = "cannot make a temporary file in " + platform::tempFileDirectory() + ": " +
            std::strerror(errno);
    return false;
  }
  std::FILE* out = platform::openTempFile(path_, platform::TempFileAccess::Write);
  if (out == nullptr) {
    error = "cannot write the temporary file " + path_ + ": " + std::strerror(errno);
    return false;
  }
  bool copied = platform::copyStandardInput(out, error);
  std::fclose(out);
  if (copied && platform::describeOpenFailure(path_.c_str()) == "is empty") {
    error = "standard input holds no page: it is empty";
    return false;
  }
  return copied;
}

std::string joinPath(const std::string& directory, const char* name) {
  bool separated = !directory.empty() && directory.back() == '/';
  return directory + (separated ? "" : "/") + name;
}

// The page the command line names: the file itself; a directory's index;
// the welcome pages when none is named; standard input's page for "-".
bool resolvePage(const Options& options, PipedPage& piped, std::string& page, std::string& error) {
  if (options.file == "-") {
    if (!piped.read(error)) return false;
    page = piped.path();
    return true;
  }
  if (options.file.empty()) {
    page = welcomePage();
    if (page.empty()) error = "the welcome pages are missing (share/orbisline/index.html)";
    return !page.empty();
  }
  if (!platform::isDirectory(options.file)) {
    page = options.file;
    return true;
  }
  for (const char* name : IndexPages) {
    page = joinPath(options.file, name);
    if (platform::isRegularFile(page)) return true;
  }
  error = options.file + ": the folder has no index.html or index.htm";
  return false;
}

struct StreamsCloser {
  platform::TerminalStreams& streams;
  ~StreamsCloser() { platform::closeTerminalStreams(streams); }
};

// Shows page until the user leaves. The screen starts only when the
// plug-in first draws, so a refused page leaves the terminal untouched.
int runTerminalHost(const Options& options, const std::string& page,
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

}  // namespace

int runViewer(const Options& options, std::chrono::steady_clock::time_point programStart) {
  PipedPage piped;
  std::string page;
  std::string error;
  if (!resolvePage(options, piped, page, error)) {
    reportError(error);
    return 1;
  }
  if (!platform::isTerminal(platform::StandardStream::Output)) {
    Options dump = options;
    dump.mode = Mode::Dump;
    dump.file = page;
    return runDump(dump);
  }
  return runTerminalHost(options, page, programStart);
}

}  // namespace orbis::app
