// orbisline: shows an HTML file in the terminal through the viewer's
// plug-in module; or renders it the way the viewer does, without a screen,
// and prints the parsed tree, the rendered text or the rendered model; or
// runs the module in the headless host.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>

#include "app_settings.h"
#include "host_modes.h"
#include "modes.h"
#include "options.h"
#include "platform/codepage.h"
#include "platform/temp_file.h"
#include "render/document.h"
#include "resources.h"
#include "viewer_mode.h"

namespace {

constexpr int UsageError = 2;
constexpr int FileError = 1;

int runVersion() {
  std::printf("orbisline %s\n", ORBISLINE_VERSION);
  return std::fflush(stdout) == 0 ? 0 : orbis::app::reportOutputFailure(errno);
}

int runMode(const orbis::app::Options& options, std::chrono::steady_clock::time_point start) {
  switch (options.mode) {
    case orbis::app::Mode::View:
      return orbis::app::runViewer(options, start);
    case orbis::app::Mode::Tree:
      return orbis::app::runTree(options);
    case orbis::app::Mode::Dump:
      return options.color ? orbis::app::runColorDump(options) : orbis::app::runDump(options);
    case orbis::app::Mode::Runs:
      return orbis::app::runRuns(options);
    case orbis::app::Mode::Headless:
      return orbis::app::runHeadless(options);
    case orbis::app::Mode::Help:
    case orbis::app::Mode::Version:
    case orbis::app::Mode::None:
      break;
  }
  return UsageError;
}

}  // namespace

int main(int argc, char** argv) {
  auto start = std::chrono::steady_clock::now();
  orbis::platform::installTempFileCleanup();
  // Said first, never later: by then a screen could be showing.
  for (const std::string* fallback : {&orbis::platform::describeCodePageFallback(),
                                      &orbis::platform::describeOemCodePageFallback()}) {
    if (!fallback->empty()) std::fprintf(stderr, "orbisline: %s\n", fallback->c_str());
  }

  orbis::app::Options options;
  std::string error;
  if (!orbis::app::parseOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "orbisline: %s\nTry 'orbisline --help' for more information.\n",
                 error.c_str());
    return UsageError;
  }
  if (options.mode == orbis::app::Mode::Help) return orbis::app::runHelp();
  if (options.mode == orbis::app::Mode::Version) return runVersion();
  // Every mode reads the same settings: those named, else the user's own.
  if (options.settingsFile.empty()) options.settingsFile = orbis::app::userSettingsFile();

  // The executable's own settings: the in-process modes render with them,
  // and the host modes name the accepted extensions with them.
  auto settings = orbis::app::loadSettings(options.settingsFile, error);
  if (!settings) {
    std::fprintf(stderr, "orbisline: %s\n", error.c_str());
    return FileError;
  }
  orbis::settings = settings.get();
  int result = runMode(options, start);
  orbis::settings = nullptr;
  return result;
}
