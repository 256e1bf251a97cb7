// A host and the DLL it loads each keep their own copy of this code, and
// nothing of the system carries a settings file from one to the other: the
// DLL reads the settings beside itself, as it does in the real host.
#include "platform/shared/settings_file.h"

namespace orbis::platform {

bool setSettingsFileOverride(std::string) { return false; }

std::string settingsFileOverride() { return {}; }

}  // namespace orbis::platform
