#include "markup/lower_string.h"

#include <algorithm>

namespace orbis {

int compareIgnoringCase(std::string_view a, std::string_view b) {
  std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    unsigned char x = foldCase(static_cast<unsigned char>(a[i]));
    unsigned char y = foldCase(static_cast<unsigned char>(b[i]));
    if (x != y) {
      return x < y ? -1 : 1;
    }
  }
  if (a.size() == b.size()) {
    return 0;
  }
  return a.size() < b.size() ? -1 : 1;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         compareIgnoringCase(text.substr(0, prefix.size()), prefix) == 0;
}

}  // namespace orbis
