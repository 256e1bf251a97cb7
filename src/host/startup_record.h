// The start-up record as a host fills it for SetStartupInfo: the record's
// size, the module's file name, the plug-in's number and the host's
// functions. Header-only, for every host of the plug-in (our programs,
// benchmarks and tests), which do not link the plug-in itself.
#pragma once

#include <algorithm>
#include <cstring>
#include <string_view>

#include "host/far_api.h"

namespace orbis::host {

struct HostFunctions {
  FarApiMenu menu = nullptr;
  FarApiMessage message = nullptr;
  FarApiSaveScreen saveScreen = nullptr;
  FarApiRestoreScreen restoreScreen = nullptr;
  FarApiEditor editor = nullptr;
  FarApiCharTable charTable = nullptr;
  FarApiEditorControl editorControl = nullptr;
};

// moduleName is cut to fit the record and stays zero-terminated. The
// registry root is the host's, under which a plug-in may keep its own.
inline PluginStartupInfo makeStartupInfo(std::string_view moduleName, intptr_t moduleNumber,
                                         const HostFunctions& functions) {
  PluginStartupInfo info{};
  info.StructSize = sizeof info;
  std::size_t length = std::min(moduleName.size(), sizeof info.ModuleName - 1);
  std::memcpy(info.ModuleName, moduleName.data(), length);
  info.ModuleNumber = moduleNumber;
  info.RootKey = "Software\\Far\\Plugins";
  info.Menu = functions.menu;
  info.Message = functions.message;
  info.SaveScreen = functions.saveScreen;
  info.RestoreScreen = functions.restoreScreen;
  info.Editor = functions.editor;
  info.CharTable = functions.charTable;
  info.EditorControl = functions.editorControl;
  return info;
}

}  // namespace orbis::host
