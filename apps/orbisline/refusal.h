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

// Why a load failed for want of its temporary file. Not the page's fault, so
// the page is not named: the directory is when no file could be made there
// (temporaryPath empty), else that file, with the system's reason (error,
// an errno value).
std::string describeTemporaryFailure(const std::string& temporaryPath, int error);

}  // namespace orbis::app
