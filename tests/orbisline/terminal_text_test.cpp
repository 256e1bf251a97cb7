#include "terminal_text.h"

#include <gtest/gtest.h>

#include <string>

namespace orbis::app {
namespace {

std::string shown(std::string_view text) {
  std::string out;
  appendForTerminal(out, text);
  return out;
}

// With the default page (Windows-1252): controls never reach the terminal.
TEST(TerminalTextTest, ControlBytesBecomeVisiblePlaceholders) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain text\n", "plain text\n"},
      {std::string("\x1B[2J", 4), "\xE2\x90\x9B[2J"},  // ESC as its picture
      {std::string("a\0b", 3),
       "a\xE2\x90\x80"
       "b"},                                     // NUL
      {"\x07\x7F", "\xE2\x90\x87\xE2\x90\xA1"},  // BEL, DEL
      {"\r\t", "\xE2\x90\x8D\xE2\x90\x89"},      // CR and TAB are shown too
      {"\xE9", "\xC3\xA9"},                      // e acute
      {"\x80", "\xE2\x82\xAC"},                  // euro sign
      {"\x81\x9B", "\xEF\xBF\xBD\xE2\x80\xBA"},  // a hole of the page; 0x9B is not CSI
  };
  for (const auto& [input, expected] : cases) {
    EXPECT_EQ(shown(input), expected);
  }
}

// Whatever surrounds a byte, it is shown alike: the runs copied whole end
// exactly where a byte needs its table entry.
TEST(TerminalTextTest, EveryByteShowsAloneAsInText) {
  std::string everyByte;
  std::string eachAlone;
  for (int byte = 0; byte < 256; ++byte) {
    std::string one(1, static_cast<char>(byte));
    everyByte += one;
    eachAlone += shown(one);
    EXPECT_EQ(shown("plain " + one + " text"), "plain " + shown(one) + " text") << byte;
  }
  EXPECT_EQ(shown(everyByte), eachAlone);
  EXPECT_EQ(shown(everyByte + everyByte), eachAlone + eachAlone);
}

// A page that spells some ASCII bytes otherwise (as the German ISO 646 does
// with brackets) shows them as its characters, not as themselves.
TEST(TerminalTextTest, EncoderFollowsItsCodePage) {
  platform::ByteMeanings meanings{};
  for (int byte = 0; byte < 256; ++byte) meanings[byte] = byte;
  meanings['['] = 0xC4;
  meanings[0xA4] = 0x20AC;
  meanings[0x80] = -1;
  TerminalEncoder encoder(meanings);
  const std::pair<std::string, std::string> cases[] = {
      {"a[b]", "a\u00C4b]"},
      {"\xA4\x35\n", "\u20AC5\n"},
      {"\x80\x1B", "\uFFFD\u241B"},
      {"", ""},
  };
  for (const auto& [input, expected] : cases) {
    std::string out = "kept ";
    encoder.append(out, input);
    EXPECT_EQ(out, "kept " + expected) << input;
  }
}

// For output in an 8-bit character set: the page's bytes stay, but nothing
// a terminal could take as a control does.
TEST(TerminalTextTest, WithoutControlsOnlyLineFeedsAndPrintableBytesStay) {
  std::string everyByte;
  for (int byte = 0; byte < 256; ++byte) everyByte += static_cast<char>(byte);
  std::string expected = std::string(10, '?') + "\n" + std::string(21, '?');
  for (int byte = 0x20; byte < 0x7F; ++byte) expected += static_cast<char>(byte);
  expected += std::string(33, '?');
  for (int byte = 0xA0; byte < 256; ++byte) expected += static_cast<char>(byte);
  std::string out = "kept ";
  appendWithoutControls(out, everyByte);
  EXPECT_EQ(out, "kept " + expected);
}

}  // namespace
}  // namespace orbis::app
