// Case-blind byte strings. Tag names, attribute names, defined names and
// anchor keys keep the spelling they were written with but compare with the
// letters A-Z folded to a-z; bytes compare as unsigned values, and when one
// name is a prefix of the other the shorter sorts first.
#pragma once

#include <compare>
#include <string>
#include <string_view>

namespace orbis {

inline unsigned char foldCase(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// White space of the markup and of layout: blank, tab, carriage return and
// line feed.
inline bool isWhiteSpace(char c) {
  return static_cast<unsigned char>(c) <= ' ' && (c == ' ' || c == '\t' || c == '\r' || c == '\n');
}

// A-Z and a-z only; bytes from 0x80 up are no letters.
inline bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Negative, zero or positive, like strcmp, with case folded.
int compareIgnoringCase(std::string_view a, std::string_view b);

inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (foldCase(static_cast<unsigned char>(a[i])) != foldCase(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// True when text begins with prefix, case folded.
bool startsWithIgnoringCase(std::string_view text, std::string_view prefix);

class LowerString {
public:
  LowerString() = default;
  LowerString(std::string text) : text_(std::move(text)) {}
  LowerString(std::string_view text) : text_(text) {}
  LowerString(const char* text) : text_(text) {}

  const std::string& str() const { return text_; }
  std::string& str() { return text_; }
  std::string_view view() const { return text_; }
  const char* c_str() const { return text_.c_str(); }
  std::size_t size() const { return text_.size(); }
  bool empty() const { return text_.empty(); }

  friend bool operator==(const LowerString& a, const LowerString& b) {
    return equalsIgnoringCase(a.text_, b.text_);
  }
  friend std::weak_ordering operator<=>(const LowerString& a, const LowerString& b) {
    int c = compareIgnoringCase(a.text_, b.text_);
    return c < 0 ? std::weak_ordering::less
                 : (c > 0 ? std::weak_ordering::greater : std::weak_ordering::equivalent);
  }

private:
  std::string text_;
};

}  // namespace orbis
