// Start-up and shut-down of the plug-in, and what it tells the host about
// itself.
#include <cstring>

#include "config/settings_sources.h"
#include "host/plugin.h"
#include "host/plugin_state.h"
#include "host/version.h"
#include "platform/paths.h"
#include "platform/shared/settings_file.h"

namespace orbis::host {

namespace {

// A file the host named but which cannot be read (any more) leaves the
// built-in settings: the plug-in has nobody to tell.
std::unique_ptr<Settings> loadPluginSettings(const PluginStartupInfo& info) {
  char moduleName[FAR_MAX_PATH + 1] = {};
  std::memcpy(moduleName, info.ModuleName, FAR_MAX_PATH);
  std::string error;
  std::unique_ptr<Settings> loaded =
      loadSettings(platform::settingsFileOverride(), platform::directoryOf(moduleName), error);
  return loaded != nullptr ? std::move(loaded) : builtInSettings();
}

}  // namespace

void setStartupInfo(const PluginStartupInfo& info) {
  PluginState& state = pluginState();
  state.startup = info;
  if (state.settings == nullptr) state.settings = loadPluginSettings(info);
  state.documentColors = state.settings->doccl != 0;
  state.farVersion = readFarVersion();
}

void getPluginInfo(PluginInfo& info) {
  static const char* const menuStrings[] = {MenuTitle};
  info.StructSize = static_cast<int>(sizeof info);
  info.Flags = PF_DISABLEPANELS | PF_EDITOR;
  info.DiskMenuStrings = nullptr;
  info.DiskMenuNumbers = nullptr;
  info.DiskMenuStringsNumber = 0;
  info.PluginMenuStrings = menuStrings;
  info.PluginMenuStringsNumber = 1;
  info.CommandPrefix = "ob";
}

void exitFar() { pluginState().settings.reset(); }

}  // namespace orbis::host
