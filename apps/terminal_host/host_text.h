// The characters the terminal host shows. A document's bytes, and the
// titles the plug-in takes from it, are characters of the ANSI code page:
// the host hands the plug-in no character table to convert titles with, so
// a title keeps every character of the page (an em dash included). The
// host's own texts (messages, menus, the key bar) are characters of the
// OEM code page. Either way, no byte reaches the terminal as a control:
// controls show as visible pictures on the screen and are left out of the
// window title.
#pragma once

#include <string>
#include <string_view>

namespace orbis::terminal {

// The character of a document byte (ANSI code page).
char32_t documentCharacter(unsigned char byte);

// The characters of document bytes (ANSI code page).
std::u32string documentText(std::string_view bytes);

// The characters of a host text (OEM code page).
std::u32string hostText(std::string_view bytes);

// A console title that the plug-in set (ANSI code page) as the terminal's
// window title: UTF-8, or ASCII with "?" for the rest when the terminal's
// character set is not UTF-8, with every control and every byte the page
// leaves undefined left out, and cut to limit bytes.
std::string windowTitle(std::string_view bytes, bool utf8, std::size_t limit);

// What a character becomes on a terminal whose character set is not UTF-8:
// ASCII as it is, lines and corners of boxes as '-', '|' and '+', shades
// and blocks as '#', anything else as '?'.
char32_t asciiStandIn(char32_t character);

}  // namespace orbis::terminal
