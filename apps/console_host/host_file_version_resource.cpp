// The version in the executable's version resource: what the plug-in reads
// is what the program was built with.
#include "console_host/host_file_version.h"
#include "platform/host_version.h"

namespace orbis::console {

bool setHostFileVersion(std::string_view text) { return hostFileVersion() == text; }

std::string hostFileVersion() {
  std::string text;
  platform::readHostFileVersion(text);
  return text;
}

}  // namespace orbis::console
