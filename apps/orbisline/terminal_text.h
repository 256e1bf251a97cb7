// Rendered text on its way to a terminal. Nothing from a page may reach the
// terminal as a control sequence, so control bytes become visible
// placeholders, and the bytes of the ANSI code page become UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace orbis::app {

// Appends text as UTF-8: line feeds stay; the other C0 controls and DEL
// become their control pictures (U+2400 + byte, U+2421); bytes the code page
// leaves undefined or maps to C1 controls become U+FFFD; every other byte is
// its character in the code page.
void appendForTerminal(std::string& out, std::string_view text);

}  // namespace orbis::app
