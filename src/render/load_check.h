// The checks a load makes before it reads a file, for load itself and for
// the hosts that tell the user why a file was refused without rendering it.
#pragma once

#include <string>

#include "render/document.h"

namespace orbis {

// Trims name (blanks at both ends; a leading double quote goes, and a second
// one cuts the name just before it) into path, then checks that its
// extension is one of acceptedExtensions() and that the file opens as a
// regular, readable, non-empty file. LoadFailure::None when it would load;
// NoName (path unchanged) for a null name.
LoadFailure checkLoadable(const char* name, std::string& path);

}  // namespace orbis
