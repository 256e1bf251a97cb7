// The built-in settings text is read by users as the template for their own
// file, so its exact shape matters, not only what it loads to.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>

#include "config/default_settings.h"

namespace orbis {
namespace {

std::string_view builtInText() {
  return std::string_view(defaultSettingsText, defaultSettingsTextLength);
}

size_t countOf(std::string_view text, std::string_view piece) {
  size_t count = 0;
  for (size_t at = text.find(piece); at != std::string_view::npos; at = text.find(piece, at + 1))
    ++count;
  return count;
}

TEST(DefaultSettingsTextTest, IsOneLineWithoutBlanksBetweenTags) {
  std::string_view text = builtInText();
  EXPECT_EQ(defaultSettingsTextLength, std::strlen(defaultSettingsText));
  EXPECT_EQ(text.find('\n'), std::string_view::npos);
  EXPECT_EQ(text.find('\r'), std::string_view::npos);
  EXPECT_EQ(text.find("> <"), std::string_view::npos);
  EXPECT_NE(text.find("><"), std::string_view::npos);
  EXPECT_EQ(text.substr(0, 25), "<Orbisline version='1.0'>");
  EXPECT_EQ(text.substr(text.size() - 27), "</CharacterSet></Orbisline>");
  // Every tag closes where the next one opens.
  EXPECT_EQ(countOf(text, "<"), countOf(text, ">"));
  EXPECT_EQ(countOf(text, "<"), countOf(text, "><") + 1);
}

TEST(DefaultSettingsTextTest, HoldsTheExpectedTagsVerbatim) {
  const char* pieces[] = {
      "<Orbisline version='1.0'><Use CharacterSet=CS><Define name=Black value=#0>",
      "<Define name=Gray value=#404040><Define name=Silver value=#808080>",
      "<Define name=Brown value=Olive><Define name=Fuchsia value=Magenta>"
      "<Define name=Grey value=Gray><Define name=Teal value=Cyan>",
      "<Default bgcolor=silver text=black link=blue alink=red tabsize=8><CharacterSet name=CS>"
      "<entity name=nbsp unicode=0x20><entity name=quot unicode=0x22>",
      "<entity name=gt unicode=0x3E><entity name=iexcl unicode=0xA1>",
      "<entity name=copy unicode=0xA9 value='(c)'>",
      "<entity name=reg unicode=0xAE value='(r)'>",
      "<entity name=frac14 unicode=0xBC value='1/4'><entity name=frac12 unicode=0xBD value='1/2'>"
      "<entity name=frac34 unicode=0xBE value='3/4'>",
      "<entity name=Agrave unicode=0xC0>",
      "<entity name=agrave unicode=0xE0>",
      "<entity name=yuml unicode=0xFF></CharacterSet></Orbisline>",
  };
  for (const char* piece : pieces) {
    EXPECT_NE(builtInText().find(piece), std::string_view::npos) << piece;
  }
}

TEST(DefaultSettingsTextTest, CountsOfEachKindOfTag) {
  std::string_view text = builtInText();
  EXPECT_EQ(countOf(text, "<entity "), 101u);
  EXPECT_EQ(countOf(text, " value='"), 5u);
  EXPECT_EQ(countOf(text, "<Define "), 20u);
  EXPECT_EQ(countOf(text, "<Use "), 1u);
  EXPECT_EQ(countOf(text, "<Default "), 1u);
  EXPECT_EQ(countOf(text, "<CharacterSet "), 1u);
}

TEST(DefaultSettingsTextTest, TagsComeInTheirOrder) {
  const char* order[] = {
      "<Orbisline ", "<Use ",           "name=Black ",   "name=Navy ",     "name=Blue ",
      "name=Green ", "name=Lime ",      "name=Cyan ",    "name=Aqua ",     "name=Maroon ",
      "name=Red ",   "name=Purple ",    "name=Magenta ", "name=Olive ",    "name=Yellow ",
      "name=Gray ",  "name=Silver ",    "name=White ",   "name=Brown ",    "name=Fuchsia ",
      "name=Grey ",  "name=Teal ",      "<Default ",     "<CharacterSet ", "name=nbsp ",
      "name=lt ",    "name=gt ",        "name=iexcl ",   "name=THORN ",    "name=szlig ",
      "name=yuml ",  "</CharacterSet>", "</Orbisline>",
  };
  std::string_view text = builtInText();
  size_t previous = 0;
  for (const char* piece : order) {
    size_t at = text.find(piece);
    ASSERT_NE(at, std::string_view::npos) << piece;
    EXPECT_GE(at, previous) << piece;
    previous = at;
  }
}

// Codes run 0xA1 to 0xFF without a gap, in upper-case hexadecimal.
TEST(DefaultSettingsTextTest, Latin1EntitiesCoverEveryCodeInOrder) {
  std::string_view text = builtInText();
  size_t previous = text.find("unicode=0x3E>");
  ASSERT_NE(previous, std::string_view::npos);
  const char* digits = "0123456789ABCDEF";
  for (int code = 0xA1; code <= 0xFF; ++code) {
    std::string piece = std::string(" unicode=0x") + digits[code >> 4] + digits[code & 15];
    size_t at = text.find(piece);
    ASSERT_NE(at, std::string_view::npos) << piece;
    EXPECT_GT(at, previous) << piece;
    previous = at;
  }
}

}  // namespace
}  // namespace orbis
