#include "console_host/host_file_version.h"

#include <algorithm>
#include <cstring>

#include "platform/host_version.h"

// Exported from the program (see the linker options of its target): the
// plug-in looks it up by this name.
extern "C" {
extern char OrbisHostFileVersion[orbis::platform::HostVersionCapacity];
char OrbisHostFileVersion[orbis::platform::HostVersionCapacity] = "1.70";
}

namespace orbis::console {

bool setHostFileVersion(std::string_view text) {
  std::size_t length = std::min(text.size(), sizeof OrbisHostFileVersion - 1);
  std::memcpy(OrbisHostFileVersion, text.data(), length);
  OrbisHostFileVersion[length] = '\0';
  return true;
}

std::string hostFileVersion() {
  return std::string(OrbisHostFileVersion,
                     strnlen(OrbisHostFileVersion, sizeof OrbisHostFileVersion));
}

}  // namespace orbis::console
