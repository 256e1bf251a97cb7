// The code page is chosen once per process, so each case runs in a fresh
// copy of this test binary (the thread-safe death-test style re-executes
// it) with ORBISLINE_CODEPAGE set as the case needs.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/codepage.h"

namespace orbis::platform {
namespace {

struct UnitCase {
  uint16_t unit;
  int byte;
};

// Runs in the child: reports every mismatch on stderr and exits non-zero
// when there was one, so the parent sees the details.
[[noreturn]] void checkPageAndExit(const char* page, const char* expectedName,
                                   const std::vector<UnitCase>& cases, bool fallsBack = false) {
  if (page) {
    setenv("ORBISLINE_CODEPAGE", page, 1);
  } else {
    unsetenv("ORBISLINE_CODEPAGE");
  }
  int failures = 0;
  if (std::strcmp(ansiCodePageName(), expectedName) != 0) {
    std::fprintf(stderr, "page %s, want %s\n", ansiCodePageName(), expectedName);
    ++failures;
  }
  const std::string& fallback = describeCodePageFallback();
  if (fallback.empty() == fallsBack || (fallsBack && fallback.find(page) == std::string::npos)) {
    std::fprintf(stderr, "fallback message '%s'\n", fallback.c_str());
    ++failures;
  }
  for (const UnitCase& c : cases) {
    int got = unitToAnsiByte(c.unit);
    if (got != c.byte) {
      std::fprintf(stderr, "unit 0x%04X gives 0x%02X, want 0x%02X\n", c.unit, got, c.byte);
      ++failures;
    }
    // A byte the unit really maps to decodes back to it.
    int32_t back = ansiByteToUnit(static_cast<unsigned char>(c.byte));
    if ((c.byte != '?' || c.unit == '?') && back != c.unit) {
      std::fprintf(stderr, "byte 0x%02X decodes to 0x%04X, want 0x%04X\n", c.byte, back, c.unit);
      ++failures;
    }
  }
  std::exit(failures == 0 ? 0 : 1);
}

const std::vector<UnitCase> windows1252Cases = {
    {0x0000, 0x00},
    {0x0041, 0x41},
    {0x007F, 0x7F},
    {0x20AC, 0x80},
    {0x2122, 0x99},
    {0x0178, 0x9F},
    {0x00E9, 0xE9},
    {0x00A0, 0xA0},
    {0x00FF, 0xFF},
    {0x0100, '?'},
    {0x0410, '?'},
    {0xD800, '?'},
    {0xFFFF, '?'},
    // The five holes of the page stand for the code points of their value.
    {0x0081, 0x81},
    {0x008D, 0x8D},
    {0x008F, 0x8F},
    {0x0090, 0x90},
    {0x009D, 0x9D},
    // Other C1 controls are not in the page.
    {0x0080, '?'},
    {0x0099, '?'},
};

class CodePageTest : public ::testing::Test {
protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(CodePageTest, Windows1252IsTheDefault) {
  EXPECT_EXIT(checkPageAndExit(nullptr, "CP1252", windows1252Cases), ::testing::ExitedWithCode(0),
              "");
}

TEST_F(CodePageTest, CyrillicPageFromEnvironment) {
  const std::vector<UnitCase> cases = {
      {0x0410, 0xC0}, {0x044F, 0xFF}, {0x0451, 0xB8}, {0x0041, 0x41},
      {0x00E9, '?'},  {0x20AC, 0x88}, {0x0000, 0x00},
  };
  EXPECT_EXIT(checkPageAndExit("CP1251", "CP1251", cases), ::testing::ExitedWithCode(0), "");
}

TEST_F(CodePageTest, BareNumberNamesAWindowsPage) {
  EXPECT_EXIT(checkPageAndExit("1251", "CP1251", {{0x0410, 0xC0}}), ::testing::ExitedWithCode(0),
              "");
}

TEST_F(CodePageTest, UnusablePagesFallBackTo1252) {
  for (const char* page : {"NO-SUCH-PAGE", "UTF-8", "UTF-16", "UTF-32", "CP932", "ISO-2022-JP"}) {
    SCOPED_TRACE(page);
    EXPECT_EXIT(checkPageAndExit(page, "CP1252", windows1252Cases, true),
                ::testing::ExitedWithCode(0), "");
  }
}

// The pieces that convert pages, in this process's own page.
TEST(CodePageHelpersTest, Windows1252Helpers) {
  if (std::strcmp(ansiCodePageName(), "CP1252") != 0) GTEST_SKIP() << "expects Windows-1252";
  Transliterator transliterator;
  const std::pair<uint32_t, int> transliterated[] = {
      {0x0142, 'l'},                 // l with stroke
      {0x011B, 'e'},                 // e with caron
      {0x2500, '-'},                 // box drawing
      {0x1D400, 'A'}, {0x200B, -1},  // zero-width space: nothing
      {0x2192, '?'},                 // "->" takes two bytes
      {0x4E2D, '?'},
  };
  for (const auto& [codePoint, byte] : transliterated) {
    EXPECT_EQ(transliterator.toAnsiByte(codePoint), byte) << std::hex << codePoint;
  }

  ByteMeanings meanings{};
  ASSERT_TRUE(singleByteMeanings("KOI8-R", meanings));
  EXPECT_EQ(meanings[0xE1], 0x0410);
  EXPECT_EQ(meanings['<'], '<');
  for (const char* unusable : {"NO-SUCH-SET", "UTF-8", "CP037", "SHIFT_JIS"}) {
    EXPECT_FALSE(singleByteMeanings(unusable, meanings)) << unusable;
  }

  std::string utf8;
  ASSERT_TRUE(ansiToUtf8("caf\xE9 \x80", utf8));
  EXPECT_EQ(utf8, "caf\xC3\xA9 \xE2\x82\xAC");
}

}  // namespace
}  // namespace orbis::platform
