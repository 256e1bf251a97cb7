// Character set names as pages write them, and the Windows code pages they
// stand for. Names are compared without regard to case. Besides the names
// listed, "windows-N", "cpN", "ibmN" and "x-cpN" mean page N, and the parts
// of ISO 8859 that the system knows are found by their number.
#include "platform/win32/code_page_names.h"

#include <cctype>
#include <string_view>

namespace orbis::platform {

namespace {

struct NamedPage {
  const char* name;
  unsigned page;
};

const NamedPage NamedPages[] = {
    {"koi8-r", 20866},
    {"koi8_r", 20866},
    {"koi8r", 20866},
    {"koi8", 20866},
    {"koi", 20866},
    {"cskoi8r", 20866},
    {"koi8-u", 21866},
    {"koi8-ru", 21866},
    {"macintosh", 10000},
    {"mac", 10000},
    {"x-mac-roman", 10000},
    {"csmacintosh", 10000},
    {"x-mac-cyrillic", 10007},
    {"x-mac-ukrainian", 10017},
    {"cyrillic", 28595},
    {"arabic", 28596},
    {"greek", 28597},
    {"greek8", 28597},
    {"hebrew", 28598},
    {"latin2", 28592},
    {"latin3", 28593},
    {"latin4", 28594},
    {"latin5", 28599},
    {"latin7", 28603},
    {"latin9", 28605},
    {"l2", 28592},
    {"l3", 28593},
    {"l4", 28594},
    {"l5", 28599},
    {"l9", 28605},
    {"csibm866", 866},
    {"dos-866", 866},
    {"iso-8859-8-i", 38598},
};

// The ISO 8859 parts that Windows has, by number: page 28590 + part, except
// 13 and 15.
unsigned isoPage(unsigned part) {
  if (part >= 1 && part <= 9) return 28590 + part;
  if (part == 13) return 28603;
  if (part == 15) return 28605;
  return 0;
}

std::string lowered(const std::string& name) {
  std::string out(name);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The number after prefix when nothing but digits follows it; 0 otherwise.
unsigned numberAfter(std::string_view name, std::string_view prefix) {
  if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return 0;
  std::string_view digits = name.substr(prefix.size());
  if (digits.size() > 5) return 0;
  unsigned number = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    number = number * 10 + static_cast<unsigned>(c - '0');
  }
  return number;
}

}  // namespace

unsigned codePageForName(const std::string& name) {
  std::string folded = lowered(name);
  for (const NamedPage& named : NamedPages) {
    if (folded == named.name) return named.page;
  }
  for (std::string_view iso : {"iso-8859-", "iso8859-", "iso_8859-", "iso8859"}) {
    if (unsigned part = numberAfter(folded, iso)) return isoPage(part);
  }
  for (std::string_view prefix : {"windows-", "x-cp", "cp", "ibm"}) {
    if (unsigned page = numberAfter(folded, prefix)) return page;
  }
  return 0;
}

}  // namespace orbis::platform
