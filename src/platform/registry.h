// A read-only stand-in for the Windows registry. A binary value is a file
// whose path is the key path under a root folder: $ORBISLINE_REGISTRY when
// set, else ~/.config/orbisline/registry. So the value CurrentPalette of key
// HKEY_CURRENT_USER\Software\Far\Colors is the file
// <root>/HKEY_CURRENT_USER/Software/Far/Colors/CurrentPalette.
#pragma once

#include <cstdint>

namespace orbis::platform {

// Reads a binary value. keyPath uses backslashes between its parts and
// begins with the hive name. On entry size is the capacity of buffer; on
// success it holds the number of bytes read. A missing root, key or value,
// or a value longer than the capacity, is a failed read (false, buffer and
// size left unchanged).
bool readRegistryValue(const char* keyPath, const char* valueName, void* buffer, uint32_t& size);

}  // namespace orbis::platform
