// An operator new for the whole test program that can be told to fail: once
// armed with a budget of n allocations, every allocation through operator
// new after the first n, on any thread, throws std::bad_alloc until the
// allocator is disarmed.
#pragma once

namespace orbis::testing {

void armAllocations(long budget);
// Disarms and returns how many allocations were asked for since arming.
long disarmAllocations();

}  // namespace orbis::testing
