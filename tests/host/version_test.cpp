#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/version.h"
#include "platform/host_version.h"

// The test program carries a version text as a host executable does.
extern "C" {
[[gnu::used]] char OrbisHostFileVersion[orbis::platform::HostVersionCapacity] = "1.70";
}

namespace orbis::host {
namespace {

TEST(VersionTest, ParseVersionTakesDigitsAroundTheFirstFullStop) {
  struct Case {
    const char* text;
    uint16_t major;
    uint16_t minor;
  };
  const Case cases[] = {
      {"1.65", 1, 65},      {"1.70.2", 1, 702}, {"1, 65", 165, 0}, {"", 0, 0},
      {"1.63 beta", 1, 63}, {"v2.0", 2, 0},     {".5", 0, 5},      {"12", 12, 0},
      {"65536.1", 0, 1},    {"1.65537", 1, 1},  {"1..2", 1, 2},    {"x.y", 0, 0},
  };
  for (const Case& c : cases) {
    uint32_t version = parseVersion(c.text, std::strlen(c.text));
    EXPECT_EQ(versionMajor(version), c.major) << c.text;
    EXPECT_EQ(versionMinor(version), c.minor) << c.text;
  }
  // Only the given length counts.
  EXPECT_EQ(parseVersion("1.645", 4), makeVersion(1, 64));
  EXPECT_EQ(parseVersion(nullptr, 3), 0u);
}

TEST(VersionTest, TheHostVersionIsReadFromTheMainProgram) {
  std::string text;
  ASSERT_TRUE(platform::readHostFileVersion(text));
  EXPECT_EQ(text, "1.70");
  EXPECT_EQ(readFarVersion(), makeVersion(1, 70));

  // A text that fills the whole array is cut at its end.
  std::string saved = OrbisHostFileVersion;
  std::memset(OrbisHostFileVersion, '7', sizeof OrbisHostFileVersion);
  ASSERT_TRUE(platform::readHostFileVersion(text));
  EXPECT_EQ(text.size(), platform::HostVersionCapacity);
  std::strcpy(OrbisHostFileVersion, saved.c_str());
}

}  // namespace
}  // namespace orbis::host
