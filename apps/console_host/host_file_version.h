// The version text the host program carries, standing in for the version
// resource of a host executable. It is the exported data symbol
// OrbisHostFileVersion of the program, which the plug-in finds in the
// program's image by itself; a host changes it only before starting the
// plug-in.
#pragma once

#include <string_view>

namespace orbis::console {

// The text a host carries unless told otherwise.
constexpr std::string_view DefaultHostFileVersion = "1.70";

// Replaces the carried text, cut to fit its array.
void setHostFileVersion(std::string_view text);

}  // namespace orbis::console
