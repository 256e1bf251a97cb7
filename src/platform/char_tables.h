// Byte tables over the process's two code pages (see codepage.h): the
// character tables a host hands a plug-in to convert text between the ANSI
// page and the OEM page, and the letter case of the ANSI page.
#pragma once

#include <array>
#include <cstdint>

namespace orbis::platform {

using ByteTable = std::array<uint8_t, 256>;

// For each ANSI byte, the OEM byte of the same character; "?" where the OEM
// page has none. Byte 0 stays 0.
const ByteTable& ansiToOemTable();

// For each OEM byte, the ANSI byte of the same character; "?" where the
// ANSI page has none. Byte 0 stays 0.
const ByteTable& oemToAnsiTable();

// For each ANSI byte, the byte of the same letter in lower case, as Unicode
// cases it; the byte itself for anything else, and for a letter whose lower
// case the page does not hold.
const ByteTable& ansiLowerCaseTable();

}  // namespace orbis::platform
