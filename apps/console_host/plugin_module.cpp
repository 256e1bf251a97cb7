#include "console_host/plugin_module.h"

#include "platform/host_console.h"

namespace orbis::console {

namespace {

template <typename Function>
bool lookUp(platform::LoadedModule& module, const char* name, Function& out, std::string& error) {
  void* address = module.symbol(name);
  if (address == nullptr) {
    if (error.empty()) error = std::string("it has no entry point ") + name;
    return false;
  }
  out = reinterpret_cast<Function>(address);
  return true;
}

}  // namespace

bool loadPluginModule(const std::string& path, platform::LoadedModule& module,
                      PluginEntryPoints& entryPoints, std::string& error) {
  error.clear();
  if (!module.open(path)) {
    error = "cannot load the plug-in module: " + module.lastError();
    return false;
  }
  if (!platform::observeConsoleTitles(module, error)) {
    module.close();
    return false;
  }
  PluginEntryPoints found;
  bool ok = lookUp(module, "SetStartupInfo", found.setStartupInfo, error);
  ok = lookUp(module, "GetPluginInfo", found.getPluginInfo, error) && ok;
  ok = lookUp(module, "OpenPlugin", found.openPlugin, error) && ok;
  ok = lookUp(module, "ExitFAR", found.exitFar, error) && ok;
  ok = lookUp(module, "ProcessEditorInput", found.processEditorInput, error) && ok;
  ok = lookUp(module, "ProcessEditorEvent", found.processEditorEvent, error) && ok;
  if (!ok) {
    error = "the plug-in module " + path + " is not usable: " + error;
    module.close();
    return false;
  }
  entryPoints = found;
  return true;
}

}  // namespace orbis::console
