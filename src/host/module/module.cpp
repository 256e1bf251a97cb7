// The plug-in module that a host loads. The plug-in itself is the orbis_host
// library; this file names its entry points under the types a host looks
// them up with, which checks those types and makes the linker take the entry
// points (and all they use) from the library. The version script beside this
// file exports exactly these six.
#include "host/far_api.h"

namespace {

struct EntryPoints {
  FarSetStartupInfoFunction setStartupInfo;
  FarGetPluginInfoFunction getPluginInfo;
  FarOpenPluginFunction openPlugin;
  FarExitFunction exitFar;
  FarProcessEditorInputFunction processEditorInput;
  FarProcessEditorEventFunction processEditorEvent;
};

[[gnu::used]] constexpr EntryPoints entryPoints{
    SetStartupInfo, GetPluginInfo, OpenPlugin, ExitFAR, ProcessEditorInput, ProcessEditorEvent};

}  // namespace
