// The plug-in's side of the six entry points, in C++. The extern "C" entry
// points (entry_points.cpp) call these and catch whatever they throw, so
// these may throw (a failed allocation, say) but must leave the plug-in's
// state consistent when they do.
#pragma once

#include <cstdint>
#include <string>

#include "host/far_api.h"

namespace orbis::host {

// Keeps the host's table, creates the one Settings (from the settings
// override, else "Orbisline.obs" in the module's directory) on the first
// call, reads the host's version and hands the load its host.
void setStartupInfo(const PluginStartupInfo& info);

// Offers the plug-in in the editor's plug-in menu and under the prefix "ob".
void getPluginInfo(PluginInfo& info);

// Opens the file named by the command line (OPEN_COMMANDLINE) or by the
// editor's file name (any other openFrom) and shows it until the user leaves
// the viewer; called from inside a shown document's editor, the document
// menu instead.
void openPlugin(int openFrom, intptr_t item);

// Destroys the Settings.
void exitFar();

// Editor input (editor_input.cpp) and events (editor_events.cpp): results as
// the entry points return them.
int processEditorInput(const INPUT_RECORD& record);
int processEditorEvent(int event, void* parameter);

// The directory of a module path, up to and including its last '/' or '\';
// empty when it has neither.
std::string moduleDirectory(const char* moduleName);

}  // namespace orbis::host
