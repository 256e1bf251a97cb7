// The code page stand-ins. Windows converts a UTF-16 unit to the system's
// ANSI or OEM code page with a table inside the OS; here each table is built
// once, on first use, by asking iconv what each of the 256 bytes of the page
// decodes to and inverting the answer. Units that no byte decodes to become
// the page's default character "?", as a conversion without best-fit
// mapping does.
#include "platform/codepage.h"

#include <iconv.h>
#include <locale.h>
#include <wctype.h>

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
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

struct CodePage {
  std::string name;
  std::string fallback;              // why the page asked for is not in use, or empty
  std::vector<int16_t> byteForUnit;  // 65536 entries, NoByte where unmapped
  ByteMeanings unitForByte{};        // -1 where the page leaves a byte undefined
};

// What tells the two pages of the process apart: the variable that names
// one, and the page used when it names none that fits.
struct PageChoice {
  const char* variable;
  const char* defaultName;
  const char* defaultDescription;
  void (*readBuiltIn)(ByteMeanings&);
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

// The IBM PC's page: letters with accents, box drawing, shades and blocks,
// Greek and mathematics. For when iconv has no converter for it.
constexpr std::array<uint16_t, 128> Ibm437High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

void readBuiltIn437(ByteMeanings& meanings) {
  for (unsigned byte = 0; byte < 0x80; ++byte) meanings[byte] = static_cast<int32_t>(byte);
  for (unsigned i = 0; i < Ibm437High.size(); ++i) meanings[0x80 + i] = Ibm437High[i];
}

constexpr PageChoice AnsiChoice = {"ORBISLINE_CODEPAGE", DefaultPage, "Windows-1252",
                                   readBuiltIn1252};
constexpr PageChoice OemChoice = {"ORBISLINE_OEMCP", "CP437", "the IBM PC's code page 437",
                                  readBuiltIn437};

// A bare number such as "1251" means the Windows code page of that number.
std::string pageNameFromEnvironment(const PageChoice& choice) {
  const char* value = std::getenv(choice.variable);
  if (!value || !*value) return choice.defaultName;
  std::string name(value);
  bool digitsOnly = true;
  for (char c : name) digitsOnly = digitsOnly && std::isdigit(static_cast<unsigned char>(c));
  return digitsOnly ? "CP" + name : name;
}

std::string describeUnusablePage(const PageChoice& choice, const std::string& name) {
  std::string problem = IconvHandle(name.c_str()).isOpen()
                            ? "'" + name + "' is not a single-byte code page built on ASCII"
                            : "iconv does not know the code page '" + name + "'";
  return std::string(choice.variable) + ": " + problem + "; using " + choice.defaultName + " (" +
         choice.defaultDescription + ")";
}

CodePage buildCodePage(const PageChoice& choice) {
  CodePage page;
  page.name = pageNameFromEnvironment(choice);
  ByteMeanings meanings{};
  if (page.name == choice.defaultName || !readPageWithIconv(page.name, meanings)) {
    if (page.name != choice.defaultName) page.fallback = describeUnusablePage(choice, page.name);
    page.name = choice.defaultName;
    if (!readPageWithIconv(page.name, meanings)) choice.readBuiltIn(meanings);
    // Windows keeps the holes of its own page as the code points of their
    // value.
    if (&choice == &AnsiChoice) {
      for (int hole : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) meanings[hole] = hole;
    }
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
  static const CodePage page = buildCodePage(AnsiChoice);
  return page;
}

const CodePage& oemCodePage() {
  static const CodePage page = buildCodePage(OemChoice);
  return page;
}

int byteOf(const CodePage& page, uint16_t unit) {
  if (unit == 0) return 0;
  int byte = page.byteForUnit[unit];
  return byte == NoByte ? DefaultCharacter : byte;
}

}  // namespace

int unitToAnsiByte(uint16_t unit) { return byteOf(codePage(), unit); }

int32_t ansiByteToUnit(unsigned char byte) { return codePage().unitForByte[byte]; }

const char* ansiCodePageName() { return codePage().name.c_str(); }

bool singleByteMeanings(const std::string& name, ByteMeanings& meanings) {
  return readPageWithIconv(name, meanings);
}

namespace {

// The transliteration and case tables belong to the locale; C.UTF-8's know
// far more than plain C's, and a thread-local switch leaves the rest of the
// process alone. The locale goes with the code that made it, which may be a
// module unloaded long before the process ends.
class OwnedLocale {
public:
  OwnedLocale() : locale_(newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0))) {}
  ~OwnedLocale() {
    if (locale_ != static_cast<locale_t>(0)) freelocale(locale_);
  }
  OwnedLocale(const OwnedLocale&) = delete;
  OwnedLocale& operator=(const OwnedLocale&) = delete;
  locale_t get() const { return locale_; }

private:
  locale_t locale_;
};

locale_t transliterationLocale() {
  static const OwnedLocale wanted;
  return wanted.get();
}

}  // namespace

uint32_t lowerCaseOf(uint32_t codePoint) {
  locale_t unicode = transliterationLocale();
  if (unicode == static_cast<locale_t>(0)) {
    return codePoint >= 'A' && codePoint <= 'Z' ? codePoint + ('a' - 'A') : codePoint;
  }
  return static_cast<uint32_t>(towlower_l(static_cast<wint_t>(codePoint), unicode));
}

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
  locale_t previous =
      wanted != static_cast<locale_t>(0) ? uselocale(wanted) : static_cast<locale_t>(0);
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

const std::string& describeCodePageFallback() { return codePage().fallback; }

int unitToOemByte(uint16_t unit) { return byteOf(oemCodePage(), unit); }

int32_t oemByteToUnit(unsigned char byte) { return oemCodePage().unitForByte[byte]; }

const char* oemCodePageName() { return oemCodePage().name.c_str(); }

const std::string& describeOemCodePageFallback() { return oemCodePage().fallback; }

}  // namespace orbis::platform
