// A host for running the load driver without a screen: its Message draws
// nothing and answers 0 (so the time-out question is answered "Resume"),
// SaveScreen hands out a handle that RestoreScreen ignores.
#pragma once

struct PluginStartupInfo;

namespace orbis::app {

// The table, valid for the life of the process.
const PluginStartupInfo& headlessHost();

}  // namespace orbis::app
