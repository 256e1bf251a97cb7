// The number reader. Settings and pages write numbers as decimal, as
// hexadecimal after "0x" or "#", or (for colours) as six bare hexadecimal
// digits; anything else is no number, and the caller keeps its old value.
#include "markup/number.h"

#include <cstring>

namespace orbis {
namespace {

// The value of c as a digit of the given base, or -1 when it is none.
int digitValue(char c, bool hexadecimal) {
  if (c >= '0' && c <= '9') return c - '0';
  if (!hexadecimal) return -1;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool parseNumber(const char* text, bool allowBareHex, uint32_t& out) {
  if (text == nullptr) return false;

  bool hexadecimal = false;
  const char* digits = text;
  if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    hexadecimal = true;
    digits = text + 2;
  } else if (text[0] == '#') {
    hexadecimal = true;
    digits = text + 1;
  } else if (allowBareHex && std::strlen(text) == 6) {
    hexadecimal = true;
  }

  // Unsigned arithmetic: an overlong number wraps instead of being refused,
  // which is what pages that write too many digits have always got.
  const uint32_t base = hexadecimal ? 16 : 10;
  uint32_t value = 0;
  for (const char* c = digits; *c != '\0'; ++c) {
    int digit = digitValue(*c, hexadecimal);
    if (digit < 0) return false;
    value = value * base + static_cast<uint32_t>(digit);
  }
  out = value;
  return true;
}

}  // namespace orbis
