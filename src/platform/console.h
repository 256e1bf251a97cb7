// The console's maximum window size, which the host process provides: the
// terminal's size when there is one, or a size the host sets explicitly.
#pragma once

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

}  // namespace orbis::platform
