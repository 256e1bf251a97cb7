// The tables between the two code pages, and the OEM page's choice. Each
// page is chosen once per process, so the cases that set ORBISLINE_OEMCP
// run in a fresh copy of this binary.
#include "platform/char_tables.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/codepage.h"

namespace orbis::platform {
namespace {

bool defaultPages() {
  return std::strcmp(ansiCodePageName(), "CP1252") == 0 &&
         std::strcmp(oemCodePageName(), "CP437") == 0;
}

TEST(CharTablesTest, TablesConvertBetweenWindows1252AndCodePage437) {
  if (!defaultPages()) GTEST_SKIP() << "expects the default pages";
  struct Case {
    unsigned char ansi;
    unsigned char oem;  // '?' when the OEM page lacks the character
  };
  const Case ansiToOem[] = {
      {0x00, 0x00}, {'A', 'A'},   {'~', '~'},   {0x1B, 0x1B}, {0xE9, 0x82}, {0xC9, 0x90},
      {0xFC, 0x81}, {0xA3, 0x9C}, {0xB5, 0xE6}, {0x80, '?'},  {0x81, '?'},  {0x97, '?'},
  };
  for (const Case& c : ansiToOem) EXPECT_EQ(ansiToOemTable()[c.ansi], c.oem) << int{c.ansi};
  const Case oemToAnsi[] = {
      {0x00, 0x00}, {'z', 'z'}, {0xE9, 0x82}, {'?', 0xB1}, {'?', 0xDB}, {'?', 0xC9},
  };
  for (const Case& c : oemToAnsi) EXPECT_EQ(oemToAnsiTable()[c.oem], c.ansi) << int{c.oem};
  // Every character both pages hold goes there and back.
  for (int byte = 0; byte < 256; ++byte) {
    unsigned char oem = ansiToOemTable()[byte];
    if (oem != '?') {
      EXPECT_EQ(oemToAnsiTable()[oem], byte) << byte;
    }
  }
}

TEST(CharTablesTest, LowerCaseFollowsUnicode) {
  if (!defaultPages()) GTEST_SKIP() << "expects the default pages";
  const std::pair<unsigned char, unsigned char> cases[] = {
      {'A', 'a'},   {'z', 'z'},   {'1', '1'},   {0xC9, 0xE9}, {0xDE, 0xFE},
      {0x8A, 0x9A}, {0x9F, 0xFF}, {0xDF, 0xDF}, {0xD7, 0xD7}, {0x80, 0x80},
  };
  for (const auto& [byte, lower] : cases) EXPECT_EQ(ansiLowerCaseTable()[byte], lower) << int{byte};
}

[[noreturn]] void checkOemPageAndExit(const char* page, const char* expectedName, bool fallsBack,
                                      unsigned char byte, int32_t codePoint) {
  setenv("ORBISLINE_OEMCP", page, 1);
  int failures = 0;
  if (std::strcmp(oemCodePageName(), expectedName) != 0) {
    std::fprintf(stderr, "page %s, want %s\n", oemCodePageName(), expectedName);
    ++failures;
  }
  const std::string& fallback = describeOemCodePageFallback();
  bool named = fallback.find("ORBISLINE_OEMCP") != std::string::npos &&
               fallback.find(page) != std::string::npos;
  if (fallback.empty() == fallsBack || (fallsBack && !named)) {
    std::fprintf(stderr, "fallback message '%s'\n", fallback.c_str());
    ++failures;
  }
  if (oemByteToUnit(byte) != codePoint || unitToOemByte(static_cast<uint16_t>(codePoint)) != byte) {
    std::fprintf(stderr, "byte 0x%02X is U+%04X\n", byte, oemByteToUnit(byte));
    ++failures;
  }
  std::exit(failures == 0 ? 0 : 1);
}

TEST(OemCodePageTest, ChosenByTheEnvironmentElse437) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  struct Case {
    const char* page;
    const char* name;
    bool fallsBack;
    unsigned char byte;
    int32_t codePoint;
  };
  const Case cases[] = {
      {"", "CP437", false, 0xB1, 0x2592},      {"850", "CP850", false, 0x9D, 0x00D8},
      {"CP866", "CP866", false, 0x80, 0x0410}, {"NO-SUCH-PAGE", "CP437", true, 0xDB, 0x2588},
      {"UTF-8", "CP437", true, 0x82, 0x00E9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page);
    EXPECT_EXIT(checkOemPageAndExit(c.page, c.name, c.fallsBack, c.byte, c.codePoint),
                ::testing::ExitedWithCode(0), "");
  }
}

}  // namespace
}  // namespace orbis::platform
