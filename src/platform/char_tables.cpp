#include "platform/char_tables.h"

#include "platform/codepage.h"

namespace orbis::platform {

namespace {

constexpr uint8_t NoCounterpart = '?';

ByteTable convertingTable(int32_t (*fromByte)(unsigned char), int (*toByte)(uint16_t)) {
  ByteTable table{};
  for (int byte = 0; byte < 256; ++byte) {
    int32_t unit = fromByte(static_cast<unsigned char>(byte));
    int converted = unit >= 0 && unit < 0x10000 ? toByte(static_cast<uint16_t>(unit)) : -1;
    table[byte] = converted >= 0 ? static_cast<uint8_t>(converted) : NoCounterpart;
  }
  return table;
}

// A letter whose lower case the page lacks keeps its own byte.
ByteTable lowerCaseTable() {
  ByteTable table{};
  for (int byte = 0; byte < 256; ++byte) {
    table[byte] = static_cast<uint8_t>(byte);
    if (byte >= 'A' && byte <= 'Z') table[byte] = static_cast<uint8_t>(byte + ('a' - 'A'));
    int32_t unit = ansiByteToUnit(static_cast<unsigned char>(byte));
    if (unit < 0x80) continue;
    uint32_t lower = lowerCaseOf(static_cast<uint32_t>(unit));
    if (lower == static_cast<uint32_t>(unit) || lower >= 0x10000) continue;
    int found = unitToAnsiByte(static_cast<uint16_t>(lower));
    // "?" is the page's answer for a unit it lacks.
    if (found != '?' &&
        ansiByteToUnit(static_cast<unsigned char>(found)) == static_cast<int32_t>(lower)) {
      table[byte] = static_cast<uint8_t>(found);
    }
  }
  return table;
}

}  // namespace

const ByteTable& ansiToOemTable() {
  static const ByteTable table = convertingTable(ansiByteToUnit, unitToOemByte);
  return table;
}

const ByteTable& oemToAnsiTable() {
  static const ByteTable table = convertingTable(oemByteToUnit, unitToAnsiByte);
  return table;
}

const ByteTable& ansiLowerCaseTable() {
  static const ByteTable table = lowerCaseTable();
  return table;
}

}  // namespace orbis::platform
