// Where the settings come from. The first place that applies wins:
//  1. the file the user named (the executable's --settings, which a host
//     hands to the plug-in as the platform's settings override); it must be
//     readable, and an empty one means the built-in text;
//  2. the user's own file, orbisline/Orbisline.obs in the user's
//     configuration directory, when it exists (then it must be readable);
//  3. Orbisline.obs in the plug-in module's directory, when that directory
//     is known; a missing or empty file there means the built-in text;
//  4. the built-in settings text.
// Every program and the plug-in find their settings through this one
// function, so that every mode reads the same.
#pragma once

#include <memory>
#include <string>

#include "config/settings.h"

namespace orbis {

// Null only when the file of place 1 or 2 cannot be read; error then says
// why in one line that names it.
std::unique_ptr<Settings> loadSettings(const std::string& namedFile,
                                       const std::string& moduleDirectory, std::string& error);

// The built-in settings alone (tests, fuzzing, and a plug-in whose file
// went away after its host looked).
std::unique_ptr<Settings> builtInSettings();

}  // namespace orbis
