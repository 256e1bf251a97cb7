// The built-in settings stand in for a missing settings file, and users
// copy them as the template for their own: they must load to the
// documented defaults, and keep the shape of one line of abutting tags.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "config/default_settings.h"
#include "config/settings_fixture.h"
#include "markup/number.h"

namespace orbis {
namespace {

using testing::loadSettings;

std::string_view builtInText() {
  return std::string_view(defaultSettingsText, defaultSettingsTextLength);
}

size_t countOf(std::string_view text, std::string_view piece) {
  size_t count = 0;
  for (size_t at = text.find(piece); at != std::string_view::npos; at = text.find(piece, at + 1))
    ++count;
  return count;
}

class DefaultSettingsTest : public testing::SettingsTest {
protected:
  std::unique_ptr<Settings> loaded = loadSettings(builtInText());

  int32_t consoleColor(const std::string& name) const {
    uint32_t rgb = 0;
    EXPECT_TRUE(parseNumber(loaded->resolveNamedValue(name), true, rgb)) << name;
    return rgbToConsole(rgb);
  }
};

TEST_F(DefaultSettingsTest, IsOneLineWithoutBlanksBetweenTags) {
  std::string_view text = builtInText();
  EXPECT_EQ(defaultSettingsTextLength, std::strlen(defaultSettingsText));
  EXPECT_EQ(text.find_first_of("\r\n"), std::string_view::npos);
  EXPECT_EQ(text.front(), '<');
  EXPECT_EQ(text.back(), '>');
  // Every tag closes where the next one opens.
  EXPECT_EQ(countOf(text, "<"), countOf(text, ">"));
  EXPECT_EQ(countOf(text, "<"), countOf(text, "><") + 1);
}

// Silver, black, blue and red, document colours on, tabs of eight, fifteen
// seconds, and the two HTML extensions.
TEST_F(DefaultSettingsTest, LoadsTheDocumentedDefaults) {
  EXPECT_EQ(loaded->bgcolor, 7);
  EXPECT_EQ(loaded->text, 0);
  EXPECT_EQ(loaded->link, 9);
  EXPECT_EQ(loaded->alink, 12);
  EXPECT_EQ(loaded->doccl, 1);
  EXPECT_EQ(loaded->tabsize, 8);
  EXPECT_EQ(loaded->timeout, 15000u);
  EXPECT_EQ(loaded->exts, "htm html ");
  EXPECT_EQ(loaded->usedCharacterSets.size(), 1u);
}

// Twenty names: sixteen that give each console colour one name, and four
// aliases of them.
TEST_F(DefaultSettingsTest, NameEveryConsoleColourOnceAndFourAliases) {
  ASSERT_EQ(loaded->namedValues.size(), 20u);
  const std::pair<const char*, const char*> aliases[] = {
      {"Brown", "Olive"}, {"Fuchsia", "Magenta"}, {"Grey", "Gray"}, {"Teal", "Cyan"}};
  std::set<LowerString> aliasNames;
  for (const auto& [alias, name] : aliases) {
    EXPECT_EQ(loaded->resolveNamedValue(alias), loaded->resolveNamedValue(name)) << alias;
    aliasNames.insert(alias);
  }
  std::map<int32_t, std::string> nameOf;
  for (const auto& [name, value] : loaded->namedValues) {
    if (aliasNames.contains(name)) continue;
    auto [other, added] = nameOf.emplace(consoleColor(name.str()), name.str());
    EXPECT_TRUE(added) << name.str() << " and " << other->second;
  }
  EXPECT_EQ(nameOf.size(), 16u);
  EXPECT_EQ(nameOf.begin()->first, 0);
  EXPECT_EQ(nameOf.rbegin()->first, 15);
}

// HTML's own six, and Latin-1 from 0xA1 to 0xFF, each code once; five of
// them have a replacement text.
TEST_F(DefaultSettingsTest, DefineTheEntitiesOfLatin1) {
  EXPECT_EQ(loaded->entityCodes.size(), 101u);
  const std::pair<const char*, int32_t> html[] = {{"nbsp", 0x20}, {"quot", 0x22}, {"amp", 0x26},
                                                  {"apos", 0x27}, {"lt", 0x3C},   {"gt", 0x3E}};
  for (const auto& [name, code] : html) {
    EXPECT_EQ(loaded->entityCodes.at(name), code) << name;
  }
  std::set<int32_t> codes;
  for (const auto& [name, code] : loaded->entityCodes) {
    EXPECT_TRUE(codes.insert(code).second) << name;
  }
  for (int32_t code = 0xA1; code <= 0xFF; ++code) {
    EXPECT_TRUE(codes.contains(code)) << std::hex << code;
  }
  const std::map<int32_t, std::string> replacements = {
      {0xA9, "(c)"}, {0xAE, "(r)"}, {0xBC, "1/4"}, {0xBD, "1/2"}, {0xBE, "3/4"}};
  EXPECT_EQ(loaded->entityTexts, replacements);
}

}  // namespace
}  // namespace orbis
