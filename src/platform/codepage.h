// Conversion of one UTF-16 unit to one byte of the ANSI code page.
// The code page is Windows-1252 unless the environment variable
// ORBISLINE_CODEPAGE names another single-byte code page that iconv knows
// (for example CP1251); an unknown or multi-byte name falls back to 1252.
#pragma once

#include <cstdint>
#include <string>

namespace orbis::platform {

// Returns the byte (0..255) for unit: 0 for unit 0, the page's default
// character "?" for a unit the page cannot hold. Returns -1 only when the
// page would need more than one byte (never for the single-byte pages used).
int unitToAnsiByte(uint16_t unit);

// The code point that byte stands for in the ANSI code page, or -1 when the
// page leaves it undefined.
int32_t ansiByteToUnit(unsigned char byte);

// Name of the code page in use, for diagnostics ("CP1252").
const char* ansiCodePageName();

// One line for the user when ORBISLINE_CODEPAGE names a page that cannot be
// used, saying why and that Windows-1252 is used instead; empty otherwise.
// The page is chosen on first use of any of these functions, so a program
// that asks this at start reports the problem before anything else.
const std::string& describeCodePageFallback();

}  // namespace orbis::platform
