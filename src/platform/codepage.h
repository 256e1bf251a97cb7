// The two code pages of the process, as Windows has them. The ANSI page
// holds the text of documents: Windows-1252 unless the environment variable
// ORBISLINE_CODEPAGE names another single-byte code page that iconv knows
// (for example CP1251). The OEM page holds the host's own texts (its boxes,
// menus and titles): code page 437 unless ORBISLINE_OEMCP names another.
// An unknown or multi-byte name falls back to the default page. A bare
// number names the Windows or IBM page of that number ("1251" is CP1251).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace orbis::platform {

// For each of the 256 bytes of a single-byte character set: the code point
// it stands for, or -1 where the set leaves the byte undefined.
using ByteMeanings = std::array<int32_t, 256>;

// Returns the byte (0..255) for unit: 0 for unit 0, the page's default
// character "?" for a unit the page cannot hold. Returns -1 only when the
// page would need more than one byte (never for the single-byte pages used).
int unitToAnsiByte(uint16_t unit);

// The code point that byte stands for in the ANSI code page, or -1 when the
// page leaves it undefined.
int32_t ansiByteToUnit(unsigned char byte);

// Name of the code page in use, for diagnostics ("CP1252").
const char* ansiCodePageName();

// Fills meanings for the character set that iconv knows by name. False when
// iconv does not know it or it is no single-byte set that spells the ASCII
// letters as ASCII (meanings is then unspecified).
bool singleByteMeanings(const std::string& name, ByteMeanings& meanings);

// The one byte of the ANSI code page that iconv's transliteration offers for
// a code point the page cannot hold, as the C.UTF-8 locale transliterates
// whatever the process locale. Holds one converter; not for sharing between
// threads.
class Transliterator {
public:
  Transliterator();
  ~Transliterator();
  Transliterator(const Transliterator&) = delete;
  Transliterator& operator=(const Transliterator&) = delete;

  // The byte; -1 when the transliteration is empty (a character without
  // width, such as a zero-width space); "?" when there is none or it takes
  // more than one byte.
  int toAnsiByte(uint32_t codePoint);

private:
  void* converter_;  // an iconv_t, or (void*)-1 when iconv has none
};

// The lower case of a character as Unicode cases it, in every script
// whatever the process's locale; the character itself when it has none.
// Where the system knows no cases beyond ASCII, only A to Z have one.
uint32_t lowerCaseOf(uint32_t codePoint);

// Appends a unit of UTF-16 that is no surrogate as UTF-8.
void appendUtf8(std::string& out, uint32_t unit);

// name read as bytes of the ANSI code page, in UTF-8. False when a byte is
// undefined in the page (out is then unspecified).
bool ansiToUtf8(std::string_view name, std::string& out);

// One line for the user when ORBISLINE_CODEPAGE names a page that cannot be
// used, saying why and that Windows-1252 is used instead; empty otherwise.
// The page is chosen on first use of any of these functions, so a program
// that asks this at start reports the problem before anything else.
const std::string& describeCodePageFallback();

// The OEM page, as the ANSI functions above: the byte for unit ("?" when
// the page has none, 0 for 0), the code point of a byte (-1 where the page
// leaves it undefined), the page's name, and the line for the user when
// ORBISLINE_OEMCP names a page that cannot be used (empty otherwise).
int unitToOemByte(uint16_t unit);
int32_t oemByteToUnit(unsigned char byte);
const char* oemCodePageName();
const std::string& describeOemCodePageFallback();

}  // namespace orbis::platform
