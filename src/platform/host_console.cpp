// On POSIX the host and the module share the process's home, which holds
// the console's size and reports every title: nothing to arrange.
#include "platform/host_console.h"

namespace orbis::platform {

std::optional<int> runInOwnConsole() { return std::nullopt; }

bool fixConsoleSize(ConsoleSize size, std::string&) {
  setConsoleSizeOverride(size);
  return true;
}

bool observeConsoleTitles(LoadedModule&, std::string&) { return true; }

}  // namespace orbis::platform
