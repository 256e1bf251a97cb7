// The host's version as the host executable carries it: a text such as
// "1.70" that the host defines as data, standing in for the version
// resource of its executable. The plug-in finds it in the main program's
// image without calling anything of the host.
#pragma once

#include <cstddef>
#include <string>

namespace orbis::platform {

// The name of the zero-terminated char array a host exports for it, and the
// most bytes read from it (a text that fills them all is cut there).
constexpr const char* HostVersionSymbol = "OrbisHostFileVersion";
constexpr std::size_t HostVersionCapacity = 64;

// Stores the host's version text and returns true; false (text unchanged)
// when the main program carries none.
bool readHostFileVersion(std::string& text);

}  // namespace orbis::platform
