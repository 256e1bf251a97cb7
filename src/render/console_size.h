// The console size that layout and the writer go by: the console's maximum
// window size, or 80 by 25 where it cannot be read, never narrower than
// text flow can work with.
#pragma once

#include "platform/console.h"

namespace orbis {

constexpr int DefaultConsoleColumns = 80;
constexpr int DefaultConsoleRows = 25;

platform::ConsoleSize renderConsoleSize();

}  // namespace orbis
