#pragma once

#include <cstdint>

namespace orbis::platform {

// Milliseconds since an arbitrary start, wrapping around at 2^32 like the
// Windows tick count; compare two ticks only by unsigned difference.
uint32_t tickCount();

// Sleeps the calling thread for about the given number of milliseconds.
void sleepMilliseconds(uint32_t milliseconds);

}  // namespace orbis::platform
