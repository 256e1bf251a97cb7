// orbisline: renders an HTML file the way the viewer does, without a
// screen, and prints the parsed tree, the rendered text or the rendered
// model; or runs the viewer's plug-in module in the headless host.
#include <cstdio>
#include <string>

#include "app_settings.h"
#include "host_modes.h"
#include "modes.h"
#include "options.h"
#include "platform/codepage.h"
#include "platform/temp_file.h"
#include "render/document.h"

namespace {

constexpr int UsageError = 2;
constexpr int FileError = 1;

int runMode(const orbis::app::Options& options) {
  switch (options.mode) {
    case orbis::app::Mode::Tree:
      return orbis::app::runTree(options);
    case orbis::app::Mode::Dump:
      return options.color ? orbis::app::runColorDump(options) : orbis::app::runDump(options);
    case orbis::app::Mode::Runs:
      return orbis::app::runRuns(options);
    case orbis::app::Mode::Headless:
      return orbis::app::runHeadless(options);
    case orbis::app::Mode::Help:
    case orbis::app::Mode::None:
      break;
  }
  return UsageError;
}

}  // namespace

int main(int argc, char** argv) {
  orbis::platform::installTempFileCleanup();
  // Said first, never later: by then a screen could be showing.
  const std::string& codePageFallback = orbis::platform::describeCodePageFallback();
  if (!codePageFallback.empty()) std::fprintf(stderr, "orbisline: %s\n", codePageFallback.c_str());

  orbis::app::Options options;
  std::string error;
  if (!orbis::app::parseOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "orbisline: %s\nTry 'orbisline --help' for more information.\n",
                 error.c_str());
    return UsageError;
  }
  if (options.mode == orbis::app::Mode::Help) return orbis::app::runHelp();

  // The executable's own settings: the in-process modes render with them,
  // and the host modes name the accepted extensions with them.
  auto settings = orbis::app::loadSettings(options.settingsFile, error);
  if (!settings) {
    std::fprintf(stderr, "orbisline: %s\n", error.c_str());
    return FileError;
  }
  orbis::settings = settings.get();
  int result = runMode(options);
  orbis::settings = nullptr;
  return result;
}
