// How the bytes and colours of console cells look on a terminal, for every
// host that shows them there (the dumps and the terminal host): a byte
// becomes the character of its code page unless it is a control, which
// becomes a visible picture, and a console colour becomes the terminal
// colour of the same meaning.
#pragma once

#include <cstdint>

namespace orbis::console {

// What a byte of text shows on a terminal, given the code point its code
// page gives it (-1 for a byte the page leaves undefined): the C0 controls
// and DEL as their control pictures (U+2400 + byte, U+2421), anything the
// page leaves undefined or maps to a C1 control or a surrogate as U+FFFD,
// every other byte as its code point.
uint32_t shownCharacter(unsigned char byte, int32_t codePoint);

// True for a code point that a terminal would take as a control: C0, DEL
// and C1.
bool isControl(uint32_t codePoint);

// The terminal colour (0 to 15, 8 and up bright) of a console colour (bit 0
// blue, bit 1 green, bit 2 red, bit 3 bright): terminals number red, green
// and blue the other way round.
int terminalColor(int consoleColor);

}  // namespace orbis::console
