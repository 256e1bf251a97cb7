#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/colors.h"
#include "config/settings.h"
#include "config/settings_fixture.h"
#include "markup/node.h"
#include "markup/number.h"
#include "markup/token.h"
#include "markup/tree.h"

namespace orbis {
namespace {

namespace fs = std::filesystem;
using testing::loadSettings;
using testing::SettingsTest;

TEST(RgbToConsoleTest, MapsToTheSixteenColours) {
  const std::pair<uint32_t, int32_t> cases[] = {
      {0x000000, 0},
      {0x000080, 1},
      {0x0000FF, 9},
      {0x008000, 2},
      {0x00FF00, 10},
      {0x008080, 3},
      {0x00FFFF, 11},
      {0x800000, 4},
      {0xFF0000, 12},
      {0x800080, 5},
      {0xFF00FF, 13},
      {0x808000, 6},
      {0xFFFF00, 14},
      {0x404040, 8},
      {0x808080, 7},
      {0xFFFFFF, 15},
      {0x8F8F8F, 7},
      {0x909090, 15},
      {0xC0C0C0, 15},
      {0x000001, 8},
      {0x7F7F7F, 8},
      {0x00007F, 8},
      {0x900000, 12},
      {0x000090, 9},
      // Higher bits are ignored, but only after the test for black.
      {0x1000000, 8},
      {0xFF000000, 8},
      {0xFFFFFFFF, 15},
      {0x01000080, 1},
  };
  for (const auto& [rgb, console] : cases) {
    EXPECT_EQ(rgbToConsole(rgb), console) << std::hex << rgb;
  }
}

TEST(ColorAttrTest, BackgroundHighForegroundLow) {
  EXPECT_EQ(toColorAttr({1, 11}), 0x1B);
  EXPECT_EQ(toColorAttr({7, 0}), 0x70);
  EXPECT_EQ(toColorAttr({0x17, -1}), 0x7F);
}

class PaletteTest : public SettingsTest {
protected:
  void storePalette(const std::vector<uint8_t>& bytes) {
    fs::path folder = registry.path() / "HKEY_CURRENT_USER/Software/Far/Colors";
    fs::create_directories(folder);
    std::ofstream(folder / "CurrentPalette", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  static std::vector<uint8_t> builtIn() {
    return {Palette::builtInTable, Palette::builtInTable + PaletteSize};
  }
  static std::vector<uint8_t> contents(const Palette& palette) {
    return {palette.bytes(), palette.bytes() + palette.size()};
  }
};

TEST_F(PaletteTest, BuiltInTableWithoutARegistryValue) {
  Palette palette;
  EXPECT_EQ(contents(palette), builtIn());
  EXPECT_EQ(palette.colorsAt(EditorTextEntry), (ColorPair{1, 11}));
  EXPECT_EQ(palette.colorsAt(0), (ColorPair{3, 15}));
  EXPECT_EQ(palette.colorsAt(-1), ColorPair{});
  EXPECT_EQ(palette.colorsAt(PaletteSize), ColorPair{});
}

TEST_F(PaletteTest, RegistryValueOfTheFullSizeIsUsed) {
  std::vector<uint8_t> stored(PaletteSize);
  for (int i = 0; i < PaletteSize; ++i) stored[i] = static_cast<uint8_t>(0xFF - i);
  storePalette(stored);
  Palette palette;
  EXPECT_EQ(contents(palette), stored);
  EXPECT_EQ(palette.colorsAt(EditorTextEntry), (ColorPair{0xC, 0xA}));
}

TEST_F(PaletteTest, OversizedValueFallsBackToTheBuiltInTable) {
  storePalette(std::vector<uint8_t>(PaletteSize + 1, 0x4E));
  EXPECT_EQ(contents(Palette()), builtIn());
}

// Entries past the end of a short value keep their built-in colours.
TEST_F(PaletteTest, ShortValueKeepsTheRestOfTheBuiltInTable) {
  storePalette(std::vector<uint8_t>(10, 0x4E));
  std::vector<uint8_t> want = builtIn();
  std::fill(want.begin(), want.begin() + 10, 0x4E);
  EXPECT_EQ(contents(Palette()), want);
}

TEST_F(PaletteTest, EditorColoursAreTheDocumentDefaults) {
  std::vector<uint8_t> stored = builtIn();
  stored[EditorTextEntry] = 0x4E;
  storePalette(stored);
  auto loaded = loadSettings("<Orbisline></Orbisline>");
  EXPECT_EQ(loaded->bgcolor, 4);
  EXPECT_EQ(loaded->text, 14);
}

class NamedValueTest : public SettingsTest {};

TEST_F(NamedValueTest, BuiltInNamesCoverTheConsoleColours) {
  auto loaded = loadSettings(std::string_view());
  const std::pair<const char*, int32_t> names[] = {
      {"Black", 0},    {"Navy", 1},  {"Blue", 9},     {"Green", 2}, {"Lime", 10},
      {"Cyan", 3},     {"Aqua", 11}, {"Maroon", 4},   {"Red", 12},  {"Purple", 5},
      {"Magenta", 13}, {"Olive", 6}, {"Yellow", 14},  {"Gray", 8},  {"Silver", 7},
      {"White", 15},   {"Brown", 6}, {"Fuchsia", 13}, {"Grey", 8},  {"Teal", 3},
  };
  for (const auto& [name, console] : names) {
    uint32_t rgb = 0xDEAD;
    ASSERT_TRUE(parseNumber(loaded->resolveNamedValue(name), true, rgb)) << name;
    EXPECT_EQ(rgbToConsole(rgb), console) << name;
  }
  EXPECT_EQ(loaded->resolveNamedValue("BROWN"), "#808000");
  EXPECT_EQ(loaded->resolveNamedValue("fuchsia"), "#FF00FF");
  EXPECT_EQ(loaded->resolveNamedValue("Grey"), "#404040");
  EXPECT_EQ(loaded->resolveNamedValue("Teal"), "#8080");
  EXPECT_EQ(loaded->resolveNamedValue("Tea"), "Tea");
  EXPECT_EQ(loaded->resolveNamedValue(""), "");
}

TEST_F(NamedValueTest, ValuesResolveWhenDefined) {
  auto loaded = loadSettings(
      "<Orbisline>"
      "<Define name=Cyan value=#8080><Define name=Teal value=cyan>"
      "<Define name=CYAN value=#FF><Define name=Early value=Late><Define name=Late value=#1>"
      "<Define name=Self value=self><Define name=Loop value=Loop2><Define name=Loop2 value=loop>"
      "<Define name=NoValue><Define value=#2><Define name='' value=#3>"
      "</Orbisline>");
  EXPECT_EQ(loaded->resolveNamedValue("Teal"), "#8080");
  EXPECT_EQ(loaded->resolveNamedValue("cyan"), "#FF");
  EXPECT_EQ(loaded->resolveNamedValue("Early"), "Late");
  EXPECT_EQ(loaded->resolveNamedValue("self"), "self");
  EXPECT_EQ(loaded->resolveNamedValue("Loop2"), "Loop2");
  EXPECT_EQ(loaded->namedValues.size(), 7u);
  EXPECT_EQ(loaded->namedValues.count(LowerString("NoValue")), 0u);
}

// Elements with one attribute each (none for an empty value), kept in one
// tree for the test.
class ColorAttributeTest : public SettingsTest {
protected:
  const ElementNode& element(const char* name, const char* attribute, const char* value) {
    Token token(Token::Kind::Element);
    token.addAttribute(attribute, value);
    return *tree.appendElement(name, Unclassified, token.attributes);
  }
  Tree tree;
};

TEST_F(ColorAttributeTest, ReadsNumbersAndNamedColours) {
  auto loaded = loadSettings(std::string_view());
  struct Case {
    const char* value;
    bool ok;
    uint32_t rgb;
  };
  const Case cases[] = {
      {"red", true, 0xFF0000},    {"Teal", true, 0x8080},       {"#FF0000", true, 0xFF0000},
      {"FF0000", true, 0xFF0000}, {"0xFF0000", true, 0xFF0000}, {"123456", true, 0x123456},
      {"12345", true, 12345},     {"crimson", false, 0},        {"#GG0000", false, 0},
      {" red", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    const ElementNode& font = element("font", "color", c.value);
    uint32_t rgb = 0xDEAD;
    EXPECT_EQ(getColorAttribute(font, "COLOR", &loaded->namedValues, rgb), c.ok);
    EXPECT_EQ(rgb, c.ok ? c.rgb : 0xDEAD);
  }
  const ElementNode& bare = element("font", "color", "");
  uint32_t rgb = 0xDEAD;
  EXPECT_FALSE(getColorAttribute(bare, "color", &loaded->namedValues, rgb));
  EXPECT_EQ(rgb, 0xDEADu);
}

TEST_F(ColorAttributeTest, WithoutNamedValuesOnlyNumbersAreRead) {
  const ElementNode& named = element("font", "color", "red");
  const ElementNode& number = element("font", "color", "00FF00");
  uint32_t rgb = 0;
  EXPECT_FALSE(getColorAttribute(named, "color", nullptr, rgb));
  EXPECT_TRUE(getColorAttribute(number, "color", nullptr, rgb));
  EXPECT_EQ(rgb, 0xFF00u);
}

TEST_F(ColorAttributeTest, NumberAttributesIgnoreNamesAndBareHex) {
  auto loaded = loadSettings("<Orbisline><Define name=Ten value=10></Orbisline>");
  const std::pair<const char*, bool> cases[] = {
      {"10", true},   {"0x10", true},    {"#10", true},
      {"Ten", false}, {"00FF00", false}, {"1e3", false},
  };
  for (const auto& [value, ok] : cases) {
    uint32_t number = 0;
    EXPECT_EQ(getNumberAttribute(element("table", "border", value), "border", number), ok) << value;
  }
}

}  // namespace
}  // namespace orbis
