// Where the program's own files are: the plug-in module and the welcome
// pages. They are found relative to the executable, so that one binary runs
// from the build tree (everything beside it, the pages under share/) and
// installed under any prefix (bin/, lib/orbisline/, share/orbisline/),
// whatever the current directory.
#pragma once

#include <string>

namespace orbis::app {

// The module file the hosts load: the file $ORBISLINE_PLUGIN names, else
// Orbisline.so (Orbisline.dll on Windows) beside the executable, else
// ../lib/orbisline/Orbisline.so from the executable's directory. When neither file exists, the one
// beside the executable, so that the loader's error names a sensible path.
std::string pluginModulePath();

// The directory of pluginModulePath() with its trailing '/', or empty.
std::string pluginModuleDirectory();

// The first welcome page, index.html of share/orbisline/ beside the
// executable, else of ../share/orbisline/ from its directory. Empty when
// neither exists.
std::string welcomePage();

}  // namespace orbis::app
