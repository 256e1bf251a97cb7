// orbisline: shows an HTML file in the terminal through the viewer's
// plug-in module; or renders it the way the viewer does, without a screen,
// and prints the parsed tree, the rendered text or the rendered model; or
// runs the module in the headless host.
//
// Each mode takes one road: the host modes (the viewer, --headless and
// --dump --color) reach the page only through the plug-in module, as a host
// would; the diagnostic modes (--tree, --dump, --runs) render it with the
// renderer linked in and never load the module.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>

#include "config/settings_sources.h"
#include "diagnostic_modes.h"
#include "host_modes.h"
#include "options.h"
#include "platform/codepage.h"
#include "platform/process.h"
#include "platform/shared/temp_file.h"
#include "report.h"
#include "resources.h"
#include "viewer_mode.h"
#include "viewer_page.h"

namespace {

using namespace orbis::app;

constexpr int UsageError = 2;
constexpr int FileError = 1;

int runVersion() {
  std::printf("orbisline %s\n", ORBISLINE_VERSION);
  return std::fflush(stdout) == 0 ? 0 : reportOutputFailure(errno);
}

// The viewer, or what --dump writes when standard output is no terminal.
int runView(const Options& options, const orbis::Settings& settings,
            std::chrono::steady_clock::time_point start) {
  PipedPage piped;
  std::string page;
  std::string error;
  if (!resolvePage(options, settings, piped, page, error)) {
    reportError(error);
    return FileError;
  }
  if (!orbis::platform::isTerminal(orbis::platform::StandardStream::Output)) {
    return runDump(options, page, settings);
  }
  return runViewer(options, page, start);
}

int runDiagnosticPage(const Options& page, const orbis::Settings& settings) {
  if (page.mode == Mode::Tree) return runTree(page, settings);
  if (page.mode == Mode::Runs) return runRuns(page, settings);
  return runDump(page, page.file, settings);
}

// --tree, --dump and --runs; "-" reads the page from standard input.
int runDiagnostic(const Options& options, const orbis::Settings& settings) {
  if (!options.batchFile.empty()) return runBatch(options, settings, runDiagnosticPage);
  Options page = options;
  PipedPage piped;
  std::string error;
  if (options.file == "-") {
    if (!piped.read(settings, error)) {
      reportError(error);
      return FileError;
    }
    page.file = piped.path();
  }
  return runDiagnosticPage(page, settings);
}

int runMode(const Options& options, const orbis::Settings& settings,
            std::chrono::steady_clock::time_point start) {
  switch (options.mode) {
    case Mode::View:
      return runView(options, settings, start);
    case Mode::Dump:
      if (options.color) return runColorDump(options);
      return runDiagnostic(options, settings);
    case Mode::Tree:
    case Mode::Runs:
      return runDiagnostic(options, settings);
    case Mode::Headless:
      return runHeadless(options);
    case Mode::Help:
    case Mode::Version:
    case Mode::None:
      break;
  }
  return UsageError;
}

}  // namespace

int main(int argc, char** argv) {
  auto start = std::chrono::steady_clock::now();
  orbis::platform::writeStandardStreamsAsBytes();
  orbis::platform::installTempFileCleanup();
  // Said first, never later: by then a screen could be showing.
  for (const std::string* fallback : {&orbis::platform::describeCodePageFallback(),
                                      &orbis::platform::describeOemCodePageFallback()}) {
    if (!fallback->empty()) reportError(*fallback);
  }

  Options options;
  std::string error;
  if (!parseOptions(argc, argv, options, error)) {
    reportError(error);
    std::fputs("Try 'orbisline --help' for more information.\n", stderr);
    return UsageError;
  }
  if (options.mode == Mode::Help) return runHelp();
  if (options.mode == Mode::Version) return runVersion();

  // Every mode reads the settings the module reads, found the same way: the
  // diagnostic modes render with them, the viewer names a piped page's file
  // after them, and a settings file that cannot be read stops every mode
  // here, before any screen.
  auto settings = orbis::loadSettings(options.settingsFile, pluginModuleDirectory(), error);
  if (!settings) {
    reportError(error);
    return FileError;
  }
  return runMode(options, *settings, start);
}
