// The plug-in as a host sees it: its six entry points, taken from the
// module file loaded at run time or from code linked into the program (the
// fuzz and bench programs).
#pragma once

#include <string>

#include "host/far_api.h"
#include "platform/loaded_module.h"

namespace orbis::console {

struct PluginEntryPoints {
  FarSetStartupInfoFunction setStartupInfo = nullptr;
  FarGetPluginInfoFunction getPluginInfo = nullptr;
  FarOpenPluginFunction openPlugin = nullptr;
  FarExitFunction exitFar = nullptr;
  FarProcessEditorInputFunction processEditorInput = nullptr;
  FarProcessEditorEventFunction processEditorEvent = nullptr;
};

// Loads path into module and looks up the six entry points. False with a
// one-line reason in error when the file cannot be loaded or lacks one.
bool loadPluginModule(const std::string& path, platform::LoadedModule& module,
                      PluginEntryPoints& entryPoints, std::string& error);

}  // namespace orbis::console
