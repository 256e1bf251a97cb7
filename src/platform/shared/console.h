// The console of the process: its maximum window size, which the host
// process provides (the terminal's size when there is one, or a size the host
// sets explicitly), and its title. Both are one per process: the host and a
// plug-in module loaded into it see the same console.
#pragma once

#include <string>

namespace orbis::platform {

struct ConsoleSize {
  int columns = 0;
  int rows = 0;
};

// False when no size is known (no override and no terminal).
bool consoleMaxWindowSize(ConsoleSize& size);

// Fixes the size that consoleMaxWindowSize reports (headless hosts, tests).
void setConsoleSizeOverride(ConsoleSize size);
void clearConsoleSizeOverride();

// Sets the console title (null counts as empty). Every call reaches the
// listener, whether or not the text changed.
void setConsoleTitle(const char* title);
std::string consoleTitle();

// The host's hook for title changes, called on the setting thread with the
// new title; null removes it. Not called for titles set before it is set.
using ConsoleTitleListener = void (*)(const char* title);
void setConsoleTitleListener(ConsoleTitleListener listener);

}  // namespace orbis::platform
