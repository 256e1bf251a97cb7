// Rendered text on its way to a terminal, or to a file or pipe that may be
// shown on one later. Nothing from a page may reach a terminal as a control
// sequence: the only control byte ever written is the line feed.
#pragma once

#include <string>
#include <string_view>

namespace orbis::app {

// Appends text as UTF-8: line feeds stay; the other C0 controls and DEL
// become their control pictures (U+2400 + byte, U+2421); bytes the code page
// leaves undefined or maps to C1 controls become U+FFFD; every other byte is
// its character in the code page.
void appendForTerminal(std::string& out, std::string_view text);

// Appends text in the code page's own bytes, for output whose character set
// is not UTF-8: line feeds stay; the other C0 controls, DEL and every byte
// from 0x80 to 0x9F (which 8-bit terminals take as C1 controls) become "?".
void appendWithoutControls(std::string& out, std::string_view text);

// How --dump writes rendered text. Raw is for scripts; the others write no
// control byte but the line feed.
enum class DumpStyle {
  Raw,       // the bytes unchanged
  Utf8,      // appendForTerminal
  EightBit,  // appendWithoutControls
};

// The style that is safe for standard output: Utf8 to a terminal, whatever
// the locale says, or when the locale's character set is UTF-8; else
// EightBit.
DumpStyle safeDumpStyle();

// Appends text as style writes it.
void appendShown(std::string& out, std::string_view text, DumpStyle style);

}  // namespace orbis::app
