// The settings of the executable: Orbisline.obs beside the executable (the
// built-in text when it is missing or empty), or a file named on the
// command line, which then must be readable.
#pragma once

#include <memory>
#include <string>

#include "config/settings.h"

namespace orbis::app {

// settingsFile empty: the file beside the executable. Null when a named file
// cannot be read, with a one-line reason naming it in error.
std::unique_ptr<Settings> loadSettings(const std::string& settingsFile, std::string& error);

}  // namespace orbis::app
