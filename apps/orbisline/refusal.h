// The one-line reason why Document::load refused a file, for stderr.
#pragma once

#include <string>

#include "render/document.h"

namespace orbis::app {

// Names the file as the user gave it and says why the load refused it:
// missing, not a regular file, unreadable, empty, no extension, or an
// extension that is not among the accepted ones (which it lists). path is
// the name as the load trimmed it.
std::string describeRefusal(LoadFailure failure, const std::string& path, const std::string& file);

}  // namespace orbis::app
