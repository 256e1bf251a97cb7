// UTF-8 from the code page, the same on every system: only the meanings of
// the page's bytes differ.
#include "platform/codepage.h"

namespace orbis::platform {

void appendUtf8(std::string& out, uint32_t unit) {
  if (unit < 0x80) {
    out += static_cast<char>(unit);
  } else if (unit < 0x800) {
    out += static_cast<char>(0xC0 | (unit >> 6));
    out += static_cast<char>(0x80 | (unit & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (unit >> 12));
    out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (unit & 0x3F));
  }
}

bool ansiToUtf8(std::string_view name, std::string& out) {
  out.clear();
  for (char c : name) {
    int32_t unit = ansiByteToUnit(static_cast<unsigned char>(c));
    if (unit <= 0) return false;
    appendUtf8(out, static_cast<uint32_t>(unit));
  }
  return true;
}

}  // namespace orbis::platform
