// One step of strict UTF-8 decoding, shared by the encoding check and the
// page decoder. Overlong forms, surrogates and code points above U+10FFFF
// are invalid. An invalid sequence covers its longest start that could
// still have become valid, so that one bad byte costs one replacement and
// the byte after it is read afresh.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orbis {

struct Utf8Sequence {
  int32_t length;      // bytes taken; 0 when the bytes end inside the sequence
  char32_t codePoint;  // valid only when valid is set
  bool valid;
};

// Reads the sequence at p, which holds available bytes (at least one).
inline Utf8Sequence readUtf8Sequence(const unsigned char* p, std::size_t available) {
  const unsigned char lead = p[0];
  if (lead < 0x80) return {1, lead, true};
  int32_t trailing = 0;
  char32_t codePoint = 0;
  unsigned char lower = 0x80;
  unsigned char upper = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    trailing = 1;
    codePoint = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    trailing = 2;
    codePoint = lead & 0x0F;
    lower = lead == 0xE0 ? 0xA0 : 0x80;  // shorter forms exist
    upper = lead == 0xED ? 0x9F : 0xBF;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    trailing = 3;
    codePoint = lead & 0x07;
    lower = lead == 0xF0 ? 0x90 : 0x80;
    upper = lead == 0xF4 ? 0x8F : 0xBF;  // beyond U+10FFFF
  } else {
    return {1, 0, false};
  }
  for (int32_t i = 1; i <= trailing; ++i) {
    if (static_cast<std::size_t>(i) >= available) return {0, 0, false};
    const unsigned char next = p[i];
    if (next < lower || next > upper) return {i, 0, false};
    lower = 0x80;
    upper = 0xBF;
    codePoint = (codePoint << 6) | (next & 0x3F);
  }
  return {trailing + 1, codePoint, true};
}

}  // namespace orbis
