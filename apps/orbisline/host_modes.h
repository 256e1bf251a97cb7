// The modes that run the plug-in module in a host: --headless, which plays a
// key script and writes a trace, and --dump --color, which prints what the
// plug-in paints (the viewer, viewer_mode.h, is the third). They reach the
// page only through the module: the renderer is not linked into this code.
// Each returns the process exit code: 0 done, 1 the module, the trace file,
// FILE or the output could not be used (one line on stderr, none for a
// reader that closed the pipe).
#pragma once

#include <string>

#include "console_host/plugin_module.h"
#include "options.h"
#include "platform/loaded_module.h"

namespace orbis::app {

// The module, loaded for the life of a host mode.
struct Plugin {
  platform::LoadedModule module;
  console::PluginEntryPoints entryPoints;
  std::string path;
};

// What every host mode does before the plug-in starts: the console size,
// the version the host carries and the settings file named on the command
// line are fixed for the whole process, then the module is loaded. False
// with the reason on stderr.
bool preparePlugin(const Options& options, Plugin& plugin);

// Why the plug-in opened no editor for file: the notice it showed, else the
// reason it left for its refusal.
std::string describeNotShown(const std::string& file, const std::string& notice);

int runHeadless(const Options& options);

int runColorDump(const Options& options);

}  // namespace orbis::app
