// The plug-in's side of the six entry points, in C++. The extern "C" entry
// points (entry_points.cpp) call these and catch whatever they throw, so
// these may throw (a failed allocation, say) but must leave the plug-in's
// state consistent when they do.
#pragma once

#include <cstdint>

#include "host/far_api.h"

namespace orbis::host {

// Keeps the host's table, creates the one Settings on the first call (see
// config/settings_sources.h; the host names a file through the platform's
// settings override) and reads the host's version.
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

}  // namespace orbis::host
