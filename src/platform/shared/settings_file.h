// Where the settings come from: by default "Orbisline.obs" in the plug-in
// module's directory; a host may name another file instead, before the
// plug-in starts. One per process, so that what the host sets is what the
// module sees.
#pragma once

#include <string>

namespace orbis::platform {

// The settings file to read instead of the default one; empty: none. False
// when the system gives the module no way to see it (Windows: host and DLL
// keep separate copies of it).
bool setSettingsFileOverride(std::string path);
std::string settingsFileOverride();

}  // namespace orbis::platform
