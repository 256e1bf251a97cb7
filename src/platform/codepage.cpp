// The ANSI code page stand-in. Windows converts a UTF-16 unit to the system
// code page with a table inside the OS; here the table is built once, on first
// use, by asking iconv what each of the 256 bytes of the page decodes to and
// inverting the answer. Units that no byte decodes to become the page's
// default character "?", as a conversion without best-fit mapping does.
#include "platform/codepage.h"

#include <iconv.h>
#include <locale.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace orbis::platform {
namespace {

constexpr const char* DefaultPage = "CP1252";
constexpr int DefaultCharacter = '?';
constexpr int NoByte = -1;

// What the bytes 0x80..0x9F of Windows-1252 stand for, used only when iconv
// has no converter for the page at all. The five holes of the page keep the
// code point of their own value, which is also what Windows does with them.
constexpr std::array<uint16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

struct CodePage {
  std::string name;
  std::string fallback;  // why the page asked for is not in use, or empty
  std::vector<int16_t> byteForUnit;  // 65536 entries, NoByte where unmapped
  ByteMeanings unitForByte{};        // -1 where the page leaves a byte undefined
};

struct IconvHandle {
  iconv_t handle;
  explicit IconvHandle(const char* from) : handle(iconv_open("UTF-32LE", from)) {}
  ~IconvHandle() {
    if (isOpen()) iconv_close(handle);
  }
  bool isOpen() const { return handle != reinterpret_cast<iconv_t>(-1); }
};

// Decodes one byte on its own. Returns false when the page is not a
// single-byte one (the byte is the start of a longer sequence, or yields more
// than one character); an illegal byte is a hole of the page, not a failure.
bool decodeByte(iconv_t handle, unsigned byte, int32_t& codePoint) {
  iconv(handle, nullptr, nullptr, nullptr, nullptr);
  char in[1] = {static_cast<char>(byte)};
  unsigned char out[8] = {};
  char* inPointer = in;
  char* outPointer = reinterpret_cast<char*>(out);
  size_t inLeft = 1;
  size_t outLeft = sizeof out;
  size_t result = iconv(handle, &inPointer, &inLeft, &outPointer, &outLeft);
  if (result == static_cast<size_t>(-1)) {
    codePoint = NoByte;
    return errno == EILSEQ;
  }
  if (sizeof out - outLeft != 4) return false;
  codePoint = static_cast<int32_t>(out[0] | (out[1] << 8) | (out[2] << 16) |
                                   (static_cast<uint32_t>(out[3]) << 24));
  return true;
}

bool readPageWithIconv(const std::string& name, ByteMeanings& meanings) {
  IconvHandle converter(name.c_str());
  if (!converter.isOpen()) return false;
  for (unsigned byte = 0; byte < 256; ++byte) {
    if (!decodeByte(converter.handle, byte, meanings[byte])) return false;
  }
  // A page that cannot even spell the ASCII letters is no ANSI page.
  return meanings['A'] == 'A' && meanings['z'] == 'z';
}

void readBuiltIn1252(ByteMeanings& meanings) {
  for (unsigned byte = 0; byte < 256; ++byte) meanings[byte] = static_cast<int32_t>(byte);
  for (unsigned i = 0; i < Windows1252High.size(); ++i) meanings[0x80 + i] = Windows1252High[i];
}

// A bare number such as "1251" means the Windows code page of that number.
std::string pageNameFromEnvironment() {
  const char* value = std::getenv("ORBISLINE_CODEPAGE");
  if (!value || !*value) return DefaultPage;
  std::string name(value);
  bool digitsOnly = true;
  for (char c : name) digitsOnly = digitsOnly && std::isdigit(static_cast<unsigned char>(c));
  return digitsOnly ? "CP" + name : name;
}

std::string describeUnusablePage(const std::string& name) {
  std::string problem = IconvHandle(name.c_str()).isOpen()
                            ? "'" + name + "' is not a single-byte code page built on ASCII"
                            : "iconv does not know the code page '" + name + "'";
  return "ORBISLINE_CODEPAGE: " + problem + "; using " + DefaultPage + " (Windows-1252)";
}

CodePage buildCodePage() {
  CodePage page;
  page.name = pageNameFromEnvironment();
  ByteMeanings meanings{};
  if (page.name == DefaultPage || !readPageWithIconv(page.name, meanings)) {
    if (page.name != DefaultPage) page.fallback = describeUnusablePage(page.name);
    page.name = DefaultPage;
    if (!readPageWithIconv(page.name, meanings)) readBuiltIn1252(meanings);
    for (int hole : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) meanings[hole] = hole;
  }
  page.unitForByte = meanings;
  page.byteForUnit.assign(65536, NoByte);
  for (int byte = 0; byte < 256; ++byte) {
    int32_t unit = meanings[byte];
    // When two bytes decode alike, the lower byte wins.
    if (unit >= 0 && unit < 65536 && page.byteForUnit[unit] == NoByte)
      page.byteForUnit[unit] = static_cast<int16_t>(byte);
  }
  return page;
}

const CodePage& codePage() {
  static const CodePage page = buildCodePage();
  return page;
}

}  // namespace

int unitToAnsiByte(uint16_t unit) {
  if (unit == 0) return 0;
  int byte = codePage().byteForUnit[unit];
  return byte == NoByte ? DefaultCharacter : byte;
}

int32_t ansiByteToUnit(unsigned char byte) { return codePage().unitForByte[byte]; }

const char* ansiCodePageName() { return codePage().name.c_str(); }

bool singleByteMeanings(const std::string& name, ByteMeanings& meanings) {
  return readPageWithIconv(name, meanings);
}

namespace {

// The transliteration tables belong to the locale; C.UTF-8's know far more
// than plain C's, and a thread-local switch leaves the rest of the process
// alone.
locale_t transliterationLocale() {
  static const locale_t wanted = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  return wanted;
}

}  // namespace

Transliterator::Transliterator() {
  std::string target = std::string(ansiCodePageName()) + "//TRANSLIT";
  converter_ = iconv_open(target.c_str(), "UTF-32LE");
}

Transliterator::~Transliterator() {
  if (converter_ != reinterpret_cast<void*>(-1)) iconv_close(static_cast<iconv_t>(converter_));
}

int Transliterator::toAnsiByte(uint32_t codePoint) {
  if (converter_ == reinterpret_cast<void*>(-1)) return DefaultCharacter;
  locale_t wanted = transliterationLocale();
  locale_t previous = wanted != static_cast<locale_t>(0) ? uselocale(wanted) : static_cast<locale_t>(0);
  iconv_t converter = static_cast<iconv_t>(converter_);
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  char in[4] = {static_cast<char>(codePoint & 0xFF), static_cast<char>((codePoint >> 8) & 0xFF),
                static_cast<char>((codePoint >> 16) & 0xFF), static_cast<char>(codePoint >> 24)};
  char out[8] = {};
  char* inPointer = in;
  char* outPointer = out;
  size_t inLeft = sizeof in;
  size_t outLeft = sizeof out;
  int byte = DefaultCharacter;
  if (iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) != static_cast<size_t>(-1)) {
    size_t written = sizeof out - outLeft;
    if (written == 0) byte = -1;
    if (written == 1) byte = static_cast<unsigned char>(out[0]);
  }
  if (previous != static_cast<locale_t>(0)) uselocale(previous);
  return byte;
}

bool ansiToUtf8(std::string_view name, std::string& out) {
  out.clear();
  for (char c : name) {
    int32_t unit = ansiByteToUnit(static_cast<unsigned char>(c));
    if (unit <= 0) return false;
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
  return true;
}

const std::string& describeCodePageFallback() { return codePage().fallback; }

}  // namespace orbis::platform
