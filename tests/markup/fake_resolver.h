// A small entity table for tests: nbsp, amp, lt, copy and the six-letter
// eacute and plusmn (the longest name read without ";"), the text "(c)"
// for the code of copy, and nothing for code 0. Codes below 256 without a
// text become that byte; wider ones a blank, as a single-byte code page
// would make of them. Tests add their own entries where they need more.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "markup/document_parser.h"

namespace orbis::testsupport {

class FakeResolver : public EntityResolver {
public:
  FakeResolver() {
    addName("nbsp", 0x20);
    addName("amp", 0x26);
    addName("lt", 0x3C);
    addName("copy", 0xA9);
    addName("eacute", 0xE9);
    addName("plusmn", 0xB1);
    addText(0xA9, "(c)");
  }

  void addName(std::string name, int32_t code) { codes_[std::move(name)] = code; }
  void addText(int32_t code, std::string text) { texts_[code] = std::move(text); }

  std::string textForCode(int32_t code) const override {
    auto configured = texts_.find(code);
    if (configured != texts_.end()) return configured->second;
    uint32_t unit = static_cast<uint32_t>(code) & 0xFFFF;
    if (unit == 0) return {};
    if (unit > 0xFF) return " ";
    return std::string(1, static_cast<char>(unit));
  }

  std::string textForName(std::string_view name) const override {
    auto known = codes_.find(name);
    return textForCode(known == codes_.end() ? 0 : known->second);
  }

private:
  std::map<std::string, int32_t, std::less<>> codes_;
  std::map<int32_t, std::string> texts_;
};

}  // namespace orbis::testsupport
