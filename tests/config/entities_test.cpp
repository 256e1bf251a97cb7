#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "config/html_entities.h"
#include "config/settings.h"
#include "config/settings_fixture.h"
#include "platform/codepage.h"

namespace orbis {
namespace {

using testing::loadSettings;
using testing::SettingsTest;

// A settings text with one character set, switched on, holding records.
std::unique_ptr<Settings> loadEntities(const std::string& records) {
  return loadSettings("<Orbisline><Use CharacterSet=Test><CharacterSet name=Test>" + records +
                      "</CharacterSet></Orbisline>");
}

bool isWindows1252() { return std::strcmp(platform::ansiCodePageName(), "CP1252") == 0; }

class EntityTest : public SettingsTest {};

TEST_F(EntityTest, BuiltInEntities) {
  if (!isWindows1252()) GTEST_SKIP() << "expects the Windows-1252 code page";
  auto loaded = loadSettings(std::string_view());
  const std::pair<const char*, const char*> names[] = {
      {"nbsp", " "},  {"amp", "&"},      {"lt", "<"},        {"quot", "\""},     {"copy", "(c)"},
      {"reg", "(r)"}, {"frac12", "1/2"}, {"Agrave", "\xC0"}, {"agrave", "\xE0"}, {"yuml", "\xFF"},
      {"AMP", ""},    {"Copy", ""},      {"", ""},           {"copy;", ""},
  };
  for (const auto& [name, text] : names) {
    EXPECT_EQ(loaded->textForName(name), text) << name;
  }
  EXPECT_EQ(loaded->entityCodes.at("Agrave"), 0xC0);
  EXPECT_EQ(loaded->entityCodes.at("agrave"), 0xE0);
}

TEST_F(EntityTest, CodesConvertUnlessConfigured) {
  if (!isWindows1252()) GTEST_SKIP() << "expects the Windows-1252 code page";
  auto loaded = loadSettings(std::string_view());
  const std::pair<int32_t, const char*> codes[] = {
      {169, "(c)"},
      {0xA9, "(c)"},
      {65, "A"},
      {0x10041, "A"},
      {0xE9, "\xE9"},
      {0x20AC, "\x80"},
      {0x0100, "?"},
      {0, ""},
      {0x10000, ""},
      {-1, "?"},
      // The low sixteen bits of 0x100A9 are 0xA9, but the text belongs to
      // the code, not to the unit.
      {0x100A9, "\xA9"},
  };
  for (const auto& [code, text] : codes) {
    EXPECT_EQ(loaded->textForCode(code), text) << std::hex << code;
  }
}

TEST_F(EntityTest, RecordsAndTheirCodes) {
  struct Case {
    std::string records;
    const char* name;
    int32_t code;  // -1: the name is not in the table
  };
  const Case cases[] = {
      {"<entity name=x unicode=169>", "x", 169},
      {"<entity name=x unicode=0xA9>", "x", 0xA9},
      {"<entity name=x unicode=#A9>", "x", 0xA9},
      {"<entity name=x unicode=A9>", "x", -1},
      {"<entity name=x unicode=0xFFFFFFFF>", "x", -1},
      {"<entity name=x unicode=4294967295>", "x", -1},
      {"<entity name=x unicode=4294967296>", "x", 0},
      {"<entity name=x unicode=-5>", "x", -1},
      {"<entity name=x>", "x", 0},
      {"<entity name=amp unicode=38><entity name=x unicode=amp>", "x", 38},
      {"<entity name=x unicode=amp><entity name=amp unicode=38>", "x", -1},
      {"<entity name=x unicode=AMP><entity name=amp unicode=38>", "x", -1},
      {"<entity name=x unicode=1><entity name=x unicode=2>", "x", 2},
      {"<entity name=x unicode=1><entity name=x unicode=nothing>", "x", 1},
      {"<ENTITY name=x unicode=3>", "x", 3},
      {"<entities name=x unicode=3>", "x", -1},
      {"<group><entity name=x unicode=3></group>", "x", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.records);
    auto loaded = loadEntities(c.records);
    auto found = loaded->entityCodes.find(c.name);
    if (c.code == -1) {
      EXPECT_EQ(found, loaded->entityCodes.end());
    } else {
      ASSERT_NE(found, loaded->entityCodes.end());
      EXPECT_EQ(found->second, c.code);
    }
  }
}

TEST_F(EntityTest, ReplacementTextsBelongToCodes) {
  auto loaded = loadEntities(
      "<entity name=a unicode=65 value=X><entity name=b unicode=65>"
      "<entity name=c unicode=66 value=one><entity name=d unicode=66 value=two>"
      "<entity name=e unicode=67 value='a&x;'><entity name=x unicode=120 value='&x;&x;'>"
      "<entity unicode=68 value=D>");
  const std::pair<const char*, const char*> names[] = {
      {"a", "X"}, {"b", "X"}, {"c", "two"}, {"d", "two"}, {"e", "a&x;"}, {"x", "&x;&x;"},
  };
  for (const auto& [name, text] : names) {
    EXPECT_EQ(loaded->textForName(name), text) << name;
  }
  EXPECT_EQ(loaded->textForCode(65), "X");
  EXPECT_EQ(loaded->textForCode(68), "D");
  EXPECT_EQ(loaded->entityCodes.size(), 6u);
}

// A record without a code sets the text of code 0, which every unknown name
// falls back to.
TEST_F(EntityTest, RecordWithoutCodeGivesUnknownNamesItsText) {
  auto loaded = loadEntities("<entity name=x value=y>");
  EXPECT_EQ(loaded->textForName("x"), "y");
  EXPECT_EQ(loaded->textForName("never defined"), "y");
  EXPECT_EQ(loaded->textForCode(0), "y");
}

TEST_F(EntityTest, OnlySetsInUseAreRead) {
  struct Case {
    const char* body;
    bool read;
  };
  const Case cases[] = {
      {"<Use CharacterSet=cs><CharacterSet name=CS><entity name=x unicode=1></CharacterSet>", true},
      {"<CharacterSet name=CS><entity name=x unicode=1></CharacterSet><Use CharacterSet=CS>",
       false},
      {"<Use CharacterSet=C><CharacterSet name=CS><entity name=x unicode=1></CharacterSet>", false},
      {"<Use CharacterSet=CSX><CharacterSet name=CS><entity name=x unicode=1></CharacterSet>",
       false},
      {"<Use CharacterSet=CS><CharacterSet><entity name=x unicode=1></CharacterSet>", false},
      {"<Use CharacterSet=CS><CharacterSet name=CS><entity name=x unicode=1>", false},
      {"<Use CharacterSet=CS><CharacterSet name=CS></CharacterSet><entity name=x unicode=1>",
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    auto loaded = loadSettings(std::string("<Orbisline>") + c.body + "</Orbisline>");
    EXPECT_EQ(loaded->entityCodes.count("x"), c.read ? 1u : 0u);
  }
}

TEST_F(EntityTest, SetsInUseShareTheTables) {
  auto loaded = loadSettings(
      "<Orbisline><Use CharacterSet=one><Use CharacterSet=two>"
      "<CharacterSet name=one><entity name=a unicode=1 value=first><entity name=b unicode=2>"
      "</CharacterSet>"
      "<CharacterSet name=two><entity name=a unicode=3><entity name=c unicode=1 value=second>"
      "</CharacterSet></Orbisline>");
  EXPECT_EQ(loaded->entityCodes.at("a"), 3);
  EXPECT_EQ(loaded->entityCodes.at("b"), 2);
  EXPECT_EQ(loaded->textForCode(1), "second");
}

TEST_F(EntityTest, CharacterSetNamesIgnoreCaseButNotLength) {
  auto loaded = loadSettings("<Orbisline><Use CharacterSet=Latin><Use CharacterSet=x></Orbisline>");
  const std::pair<const char*, bool> names[] = {
      {"Latin", true},   {"LATIN", true}, {"latin", true}, {"Lati", false},
      {"Latin1", false}, {"X", true},     {"", false},
  };
  for (const auto& [name, used] : names) {
    EXPECT_EQ(loaded->isCharacterSetUsed(name), used) << name;
  }
}

// Pages use HTML's names whether or not the settings define them; those the
// settings leave undefined are converted like numeric references.
TEST_F(EntityTest, HtmlNamesTheSettingsLeaveUndefined) {
  if (!isWindows1252()) GTEST_SKIP() << "expects the Windows-1252 code page";
  auto builtIn = loadSettings(std::string_view());
  const std::pair<const char*, const char*> names[] = {
      {"mdash", "\x97"}, {"ndash", "\x96"}, {"hellip", "\x85"}, {"rsquo", "\x92"},
      {"ldquo", "\x93"}, {"euro", "\x80"},  {"trade", "\x99"},  {"bull", "\x95"},
      {"OElig", "\x8C"}, {"Yuml", "\x9F"},  {"rarr", "?"},      {"alpha", "?"},
      {"copy", "(c)"},   {"apos", "'"},     {"MDASH", ""},      {"mdash;", ""},
  };
  for (const auto& [name, text] : names) {
    EXPECT_EQ(builtIn->textForName(name), text) << name;
  }

  // The settings win for a name they define, and a text they give a code
  // belongs to every name of that code.
  auto own =
      loadEntities("<entity name=mdash unicode=45><entity name=dash unicode=0x2013 value='--'>");
  EXPECT_EQ(own->textForName("mdash"), "-");
  EXPECT_EQ(own->textForName("ndash"), "--");
  EXPECT_EQ(own->textForName("hellip"), "\x85");

  // Without the page conversion, only the settings' names are known.
  auto off = loadSettings(
      "<Orbisline><Default charset=none><Use CharacterSet=T><CharacterSet name=T>"
      "<entity name=amp unicode=38></CharacterSet></Orbisline>");
  EXPECT_EQ(off->textForName("amp"), "&");
  EXPECT_EQ(off->textForName("mdash"), "");
}

TEST_F(EntityTest, TheHtmlTable) {
  const std::pair<const char*, int32_t> codes[] = {
      {"AElig", 0xC6}, {"Aacute", 0xC1}, {"nbsp", 0xA0},   {"yuml", 0xFF},   {"Yuml", 0x178},
      {"fnof", 0x192}, {"Omega", 0x3A9}, {"zwnj", 0x200C}, {"euro", 0x20AC}, {"diams", 0x2666},
      {"quot", 0x22},  {"apos", 0},      {"", 0},          {"zzz", 0},       {"AELIG", 0},
  };
  for (const auto& [name, code] : codes) {
    EXPECT_EQ(htmlEntityCode(name), code) << name;
  }
}

// Pages may hold any number of made-up references; looking them up must not
// leave anything behind in the tables.
TEST_F(EntityTest, LookupsNeverGrowTheTables) {
  auto loaded = loadSettings(std::string_view());
  const size_t codes = loaded->entityCodes.size();
  const size_t texts = loaded->entityTexts.size();
  for (int i = 0; i < 1000; ++i) {
    loaded->textForName("made-up-" + std::to_string(i));
    loaded->textForName(i % 2 == 0 ? "mdash" : "rarr");
    loaded->textForCode(0x3000 + i);
    loaded->textForCode(-i);
  }
  EXPECT_EQ(loaded->entityCodes.size(), codes);
  EXPECT_EQ(loaded->entityTexts.size(), texts);
  EXPECT_EQ(loaded->namedValues.size(), 20u);
  loaded->resolveNamedValue("made-up");
  EXPECT_EQ(loaded->namedValues.size(), 20u);
}

}  // namespace
}  // namespace orbis
