// The one-line reason why Document::load refused a file, for stderr.
#pragma once

#include <string>

#include "render/document.h"

namespace orbis::app {

// Names the file as the user gave it and says why it was refused: missing,
// not a regular file, unreadable, empty, no extension, or an extension that
// is not among the accepted ones (which it lists). When the temporary file
// could not be made or written, names the directory or that file instead,
// with the system's reason.
std::string describeRefusal(const Document& document, const std::string& file);

}  // namespace orbis::app
