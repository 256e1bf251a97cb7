// The version text the host program carries, which the plug-in reads as the
// host's version. On Windows it is the FileVersion of the executable's own
// version resource, as in the real host, so it is fixed when the program is
// built (one copy of the program is built for each version the tests play).
// Elsewhere it stands in for that resource: the exported data symbol
// OrbisHostFileVersion of the program, which the plug-in finds in the
// program's image by itself; a host changes it only before starting the
// plug-in.
#pragma once

#include <string>
#include <string_view>

namespace orbis::console {

// The text a host carries unless told otherwise.
constexpr std::string_view DefaultHostFileVersion = "1.70";

// Makes text the carried version, cut to fit its array, and returns true.
// Where the version is the executable's resource it cannot change: true
// only when text is what the resource says.
bool setHostFileVersion(std::string_view text);

// The version the program carries now; empty when it carries none.
std::string hostFileVersion();

}  // namespace orbis::console
