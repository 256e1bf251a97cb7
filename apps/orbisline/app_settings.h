// The settings of the executable's own rendering (--tree, --dump, --runs,
// and the reasons it gives for refused files). They come from where the
// plug-in module takes its own: Orbisline.obs in the module's directory
// (the built-in text when it is missing or empty), or a file named on the
// command line, which then must be readable.
#pragma once

#include <memory>
#include <string>

#include "config/settings.h"

namespace orbis::app {

// settingsFile empty: the file beside the plug-in module. Null when a named
// file cannot be read, with a one-line reason naming it in error.
std::unique_ptr<Settings> loadSettings(const std::string& settingsFile, std::string& error);

}  // namespace orbis::app
