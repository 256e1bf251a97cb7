// The tick count and sleeping, straight from the system.
#include <windows.h>

#include "platform/clock.h"

namespace orbis::platform {

uint32_t tickCount() { return GetTickCount(); }

void sleepMilliseconds(uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace orbis::platform
