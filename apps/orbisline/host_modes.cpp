#include "host_modes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "color_dump.h"
#include "config/colors.h"
#include "config/settings.h"
#include "console_host/headless_front_end.h"
#include "console_host/host_file_version.h"
#include "console_host/host_model.h"
#include "console_host/plugin_module.h"
#include "platform/host_console.h"
#include "platform/loaded_module.h"
#include "platform/shared/console.h"
#include "platform/shared/last_refusal.h"
#include "platform/shared/settings_file.h"
#include "report.h"
#include "resources.h"
#include "terminal_text.h"

namespace orbis::app {

std::string describeNotShown(const std::string& file, const std::string& notice) {
  if (!notice.empty()) return file + ": " + notice;
  platform::Refusal refusal = platform::lastRefusal();
  if (refusal.code != 0) return refusal.message;
  return file + ": the file could not be rendered";
}

bool preparePlugin(const Options& options, Plugin& plugin) {
  std::string error;
  if (!platform::fixConsoleSize(consoleSizeFor(options), error)) {
    reportError(error);
    return false;
  }
  std::string version = options.hostVersion.value_or(std::string(console::DefaultHostFileVersion));
  if (!console::setHostFileVersion(version)) {
    reportError("this program plays host version " + console::hostFileVersion() +
                ", which its version resource fixes, not " + version);
    return false;
  }
  if (!options.settingsFile.empty() && !platform::setSettingsFileOverride(options.settingsFile)) {
    reportError("--settings cannot reach the plug-in module here: put the settings in " +
                std::string(Settings::FileName) +
                " beside a copy of the module and name that copy with ORBISLINE_PLUGIN");
    return false;
  }
  plugin.path = pluginModulePath();
  if (console::loadPluginModule(plugin.path, plugin.module, plugin.entryPoints, error)) return true;
  reportError(error);
  return false;
}

namespace {

platform::ConsoleSize consoleSize() {
  platform::ConsoleSize size;
  platform::consoleMaxWindowSize(size);
  return size;
}

// Opens options.file through the plug-in (or in a plain editor with
// --edit), lets the front end play, and leaves the plug-in. False when
// nothing was shown, with the reason on stderr.
bool runHost(const Options& options, Plugin& plugin, console::FrontEnd& frontEnd) {
  console::HostModel host(plugin.entryPoints, frontEnd, consoleSize());
  host.start(plugin.path);
  bool shown = false;
  std::string error;
  if (options.edit) {
    shown = host.editFile(options.file, error);
    if (!shown) error = options.file + ": " + error;
  } else {
    shown = host.openFromCommandLine(options.file);
    if (!shown) error = describeNotShown(options.file, host.lastNotice());
  }
  host.stop();
  if (!shown) reportError(error);
  return shown;
}

struct FileCloser {
  void operator()(std::FILE* file) const {
    if (file != nullptr && file != stdout) std::fclose(file);
  }
};

}  // namespace

int runHeadless(const Options& options) {
  if (std::optional<int> status = platform::runInOwnConsole()) return *status;
  std::unique_ptr<std::FILE, FileCloser> traceFile;
  if (!options.traceFile.empty()) {
    traceFile.reset(options.traceFile == "-" ? stdout
                                             : std::fopen(options.traceFile.c_str(), "wb"));
    if (traceFile == nullptr) {
      reportError("cannot write the trace file " + options.traceFile + ": " + std::strerror(errno));
      return 1;
    }
  }
  Plugin plugin;
  if (!preparePlugin(options, plugin)) return 1;
  std::unique_ptr<console::TraceWriter> trace;
  if (traceFile != nullptr) trace = std::make_unique<console::TraceWriter>(traceFile.get());
  console::HeadlessFrontEnd frontEnd(options.keys, trace.get());
  bool shown = runHost(options, plugin, frontEnd);
  if (trace != nullptr && !trace->finish()) {
    if (traceFile.get() == stdout) return reportOutputFailure(trace->error());
    reportError("cannot write the trace file " + options.traceFile + ": " +
                std::strerror(trace->error()));
    return 1;
  }
  return shown ? 0 : 1;
}

int runColorDump(const Options& options) {
  if (std::optional<int> status = platform::runInOwnConsole()) return *status;
  Plugin plugin;
  if (!preparePlugin(options, plugin)) return 1;
  // The editor's own colour is the host's: its palette, as the plug-in reads it.
  Palette palette;
  console::OutputBuffer out(stdout);
  ColorDumpFrontEnd frontEnd(out, toColorAttr(palette.colorsAt(EditorTextEntry)), safeDumpStyle());
  if (!runHost(options, plugin, frontEnd)) return 1;
  return out.flush() ? 0 : reportOutputFailure(out.error());
}

}  // namespace orbis::app
