// The number reader behind every numeric attribute of settings and pages.
#pragma once

#include <cstdint>
#include <string>

namespace orbis {

// Reads decimal digits, or hexadecimal digits after "0x", "0X" or "#"; with
// allowBareHex a text of exactly six characters is hexadecimal too. No sign,
// no blanks. Digits accumulate in 32 bits and wrap. A text with no digits
// after its prefix reads as 0. Returns false for null or any other
// character, and then leaves out unwritten.
bool parseNumber(const char* text, bool allowBareHex, uint32_t& out);
inline bool parseNumber(const std::string& text, bool allowBareHex, uint32_t& out) {
  return parseNumber(text.c_str(), allowBareHex, out);
}

}  // namespace orbis
