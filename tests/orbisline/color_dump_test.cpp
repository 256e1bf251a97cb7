#include "color_dump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orbis::app {
namespace {

std::string colored(std::string_view text, std::vector<EditorColor> colors, int width = 10,
                    DumpStyle style = DumpStyle::Utf8) {
  std::string out;
  appendColoredLine(out, text, colors, 0x70, width, style);
  return out;
}

EditorColor color(int start, int end, int attr) { return {0, 0, start, end, attr}; }

// Editor colour 0x70: black (30) on silver (47).
TEST(ColorDumpTest, CellsTakeTheLastColourThatCoversThem) {
  const std::pair<std::string, std::string> cases[] = {
      {colored("", {}), ""},
      {colored("ab", {}), "\x1B[30;47mab\x1B[0m"},
      // Blue (1) is 34, bright red (12) 91, yellow background (14) 103.
      {colored("abcd", {color(1, 2, 0x71)}), "\x1B[30;47ma\x1B[34;47mbc\x1B[30;47md\x1B[0m"},
      {colored("abcd", {color(0, 3, 0xEC), color(2, 2, 0x70)}),
       "\x1B[91;103mab\x1B[30;47mc\x1B[91;103md\x1B[0m"},
      // A fill past the text is drawn as blanks, up to the width.
      {colored("ab", {color(0, 1, 0x10), color(2, 99, 0x10)}), "\x1B[30;44mab        \x1B[0m"},
      {colored("", {color(-5, 2, 0x07)}), "\x1B[37;40m   \x1B[0m"},
      // Control bytes of the page never reach the terminal as such, nor do
      // C1 bytes in 8-bit output.
      {colored("a\x1B[2Jb", {}), "\x1B[30;47ma\xE2\x90\x9B[2Jb\x1B[0m"},
      {colored("a\x1B\x9B\xE9", {color(0, 0, 0x71)}, 10, DumpStyle::EightBit),
       "\x1B[34;47ma\x1B[30;47m??\xE9\x1B[0m"},
  };
  for (const auto& [got, expected] : cases) EXPECT_EQ(got, expected);
}

}  // namespace
}  // namespace orbis::app
