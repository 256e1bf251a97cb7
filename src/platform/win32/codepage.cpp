// The process's code pages as the system has them: the ANSI page (CP_ACP)
// for documents and the OEM page for the host's texts. A UTF-16 unit becomes
// the byte that WideCharToMultiByte makes of it, with the system's default
// character "?" for a unit the page lacks. The system's best fit is kept out
// of that: it also turns "∞" into "8" and "≤" into "=", so it serves only
// the transliteration, and only from a letter to a plain letter ("ł" to "l").
// Each page's table is built once, on first use; the single-byte pages of
// the system convert all units in two calls.
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/win32/code_page_names.h"

namespace orbis::platform {

namespace {

constexpr int DefaultCharacter = '?';
constexpr int NoByte = -1;
constexpr uint32_t SurrogatesStart = 0xD800;
constexpr uint32_t SurrogatesEnd = 0xE000;

struct CodePage {
  UINT number = 0;
  std::string name;
  std::vector<int16_t> byteForUnit;  // 65536 entries; NoByte where it takes two
  ByteMeanings unitForByte{};        // -1 where the page leaves a byte undefined
};

bool isSingleByte(UINT page) {
  CPINFO information{};
  return GetCPInfo(page, &information) && information.MaxCharSize == 1;
}

// Pages that take no flags at all (a few special ones) convert without.
DWORD exactFlags(UINT page) {
  wchar_t unit = L'a';
  char out[4] = {};
  return WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, &unit, 1, out, sizeof out, nullptr,
                             nullptr) == 1
             ? WC_NO_BEST_FIT_CHARS
             : 0;
}

int16_t convertUnit(UINT page, DWORD flags, wchar_t unit) {
  char out[4] = {};
  int written = WideCharToMultiByte(page, flags, &unit, 1, out, sizeof out, nullptr, nullptr);
  return written == 1 ? static_cast<int16_t>(static_cast<unsigned char>(out[0])) : NoByte;
}

// Converts the units first..last-1 in one call; false when the bytes do not
// come one per unit, which leaves the table to the calls per unit.
bool convertRange(UINT page, DWORD flags, uint32_t first, uint32_t last,
                  std::vector<int16_t>& table) {
  std::vector<wchar_t> units;
  for (uint32_t unit = first; unit < last; ++unit) units.push_back(static_cast<wchar_t>(unit));
  std::vector<char> bytes(units.size());
  int written = WideCharToMultiByte(page, flags, units.data(), static_cast<int>(units.size()),
                                    bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr);
  if (written != static_cast<int>(units.size())) return false;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    table[first + i] = static_cast<int16_t>(static_cast<unsigned char>(bytes[i]));
  }
  return true;
}

std::vector<int16_t> unitTable(UINT page) {
  std::vector<int16_t> table(65536, NoByte);
  table[0] = 0;
  DWORD flags = exactFlags(page);
  bool whole = isSingleByte(page) && convertRange(page, flags, 1, SurrogatesStart, table) &&
               convertRange(page, flags, SurrogatesEnd, 0x10000, table);
  for (uint32_t unit = whole ? SurrogatesStart : 1; unit < (whole ? SurrogatesEnd : 0x10000);
       ++unit) {
    table[unit] = convertUnit(page, flags, static_cast<wchar_t>(unit));
  }
  return table;
}

// What each byte means on its own; a byte that starts a longer sequence or
// that the page leaves undefined means nothing.
void readMeanings(UINT page, ByteMeanings& meanings) {
  for (int byte = 0; byte < 256; ++byte) {
    char in = static_cast<char>(byte);
    wchar_t unit = 0;
    int read = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, &in, 1, &unit, 1);
    meanings[byte] = read == 1 ? static_cast<int32_t>(unit) : -1;
  }
}

CodePage buildCodePage(UINT number) {
  CodePage page;
  page.number = number;
  page.name = "CP" + std::to_string(number);
  page.byteForUnit = unitTable(number);
  readMeanings(number, page.unitForByte);
  return page;
}

const CodePage& ansiPage() {
  static const CodePage page = buildCodePage(GetACP());
  return page;
}

const CodePage& oemPage() {
  static const CodePage page = buildCodePage(GetOEMCP());
  return page;
}

// Characters that take no cell: dropped rather than shown as "?".
bool hasNoWidth(uint32_t codePoint) {
  return (codePoint >= 0x200B && codePoint <= 0x200F) ||
         (codePoint >= 0x202A && codePoint <= 0x202E) ||
         (codePoint >= 0x2060 && codePoint <= 0x2064) || codePoint == 0xFEFF;
}

bool isLetter(wchar_t unit) {
  WORD type = 0;
  return GetStringTypeW(CT_CTYPE1, &unit, 1, &type) && (type & C1_ALPHA) != 0;
}

const std::string NoFallback;

}  // namespace

int unitToAnsiByte(uint16_t unit) { return ansiPage().byteForUnit[unit]; }

int32_t ansiByteToUnit(unsigned char byte) { return ansiPage().unitForByte[byte]; }

const char* ansiCodePageName() { return ansiPage().name.c_str(); }

bool singleByteMeanings(const std::string& name, ByteMeanings& meanings) {
  UINT page = codePageForName(name);
  if (page == 0 || !IsValidCodePage(page) || !isSingleByte(page)) return false;
  readMeanings(page, meanings);
  // A page that cannot even spell the ASCII letters is no ANSI page.
  return meanings['A'] == 'A' && meanings['z'] == 'z';
}

Transliterator::Transliterator() : converter_(nullptr) {}

Transliterator::~Transliterator() = default;

int Transliterator::toAnsiByte(uint32_t codePoint) {
  if (hasNoWidth(codePoint)) return -1;
  if (codePoint >= 0x10000) return DefaultCharacter;
  auto unit = static_cast<wchar_t>(codePoint);
  char out[4] = {};
  BOOL usedDefault = FALSE;
  int written = WideCharToMultiByte(CP_ACP, 0, &unit, 1, out, sizeof out, nullptr, &usedDefault);
  if (written != 1 || usedDefault) return DefaultCharacter;
  // The fit must be a plain letter: β would otherwise become ß.
  auto byte = static_cast<unsigned char>(out[0]);
  bool plainLetter = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
  return plainLetter && isLetter(unit) ? byte : DefaultCharacter;
}

uint32_t lowerCaseOf(uint32_t codePoint) {
  if (codePoint >= 0x10000 || (codePoint >= SurrogatesStart && codePoint < SurrogatesEnd)) {
    return codePoint;
  }
  auto unit = static_cast<wchar_t>(codePoint);
  wchar_t lower = 0;
  if (LCMapStringW(LOCALE_INVARIANT, LCMAP_LOWERCASE, &unit, 1, &lower, 1) != 1) return codePoint;
  return static_cast<uint32_t>(lower);
}

const std::string& describeCodePageFallback() { return NoFallback; }

int unitToOemByte(uint16_t unit) {
  int byte = oemPage().byteForUnit[unit];
  return byte == NoByte ? DefaultCharacter : byte;
}

int32_t oemByteToUnit(unsigned char byte) { return oemPage().unitForByte[byte]; }

const char* oemCodePageName() { return oemPage().name.c_str(); }

const std::string& describeOemCodePageFallback() { return NoFallback; }

}  // namespace orbis::platform
