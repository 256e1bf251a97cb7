// Start-up and shut-down of the plug-in, and what it tells the host about
// itself.
#include <cstring>

#include "host/far_load_host.h"
#include "host/plugin.h"
#include "host/plugin_state.h"
#include "host/version.h"
#include "markup/byte_source.h"
#include "platform/settings_file.h"

namespace orbis::host {

namespace {

std::unique_ptr<Settings> loadSettings(const PluginStartupInfo& info) {
  std::string file = platform::settingsFileOverride();
  if (!file.empty()) return Settings::fromFile(file);
  char moduleName[FAR_MAX_PATH + 1] = {};
  std::memcpy(moduleName, info.ModuleName, FAR_MAX_PATH);
  std::string directory = moduleDirectory(moduleName);
  if (!directory.empty()) return std::make_unique<Settings>(directory);
  // A module whose directory is unknown reads no file: the current
  // directory's settings would be whoever's happens to be there.
  ByteSource nothing;
  return Settings::fromSource(nothing);
}

}  // namespace

std::string moduleDirectory(const char* moduleName) {
  std::string name(moduleName != nullptr ? moduleName : "");
  std::size_t separator = name.find_last_of("/\\");
  return separator == std::string::npos ? std::string() : name.substr(0, separator + 1);
}

void setStartupInfo(const PluginStartupInfo& info) {
  PluginState& state = pluginState();
  state.startup = info;
  if (state.settings == nullptr) {
    state.settings = loadSettings(info);
    settings = state.settings.get();
  }
  state.documentColors = state.settings->doccl != 0;
  state.farVersion = readFarVersion();
  installLoadHost();
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

void exitFar() {
  PluginState& state = pluginState();
  removeLoadHost();
  if (settings == state.settings.get()) settings = nullptr;
  state.settings.reset();
}

}  // namespace orbis::host
