#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/registry.h"
#include "platform/scoped_environment.h"

namespace orbis::platform {
namespace {

namespace fs = std::filesystem;
using orbis::testing::ScopedEnvironment;
using orbis::testing::ScratchFolder;

constexpr const char* ColorsKey = "HKEY_CURRENT_USER\\Software\\Far\\Colors";

void writeFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

class RegistryTest : public ::testing::Test {
protected:
  ScratchFolder root;
  ScopedEnvironment rootVariable{"ORBISLINE_REGISTRY", root.path().c_str()};

  fs::path colorsFolder() const {
    return root.path() / "HKEY_CURRENT_USER" / "Software" / "Far" / "Colors";
  }
};

TEST_F(RegistryTest, ReadsValuesThatFitTheCapacity) {
  struct Case {
    std::string stored;
    uint32_t capacity;
    bool ok;
  };
  const Case cases[] = {
      {"", 8, true},         {"abc", 8, true},        {std::string("\0\x01\xFF", 3), 8, true},
      {"12345678", 8, true}, {"123456789", 8, false}, {std::string(77, 'x'), 76, false},
      {"a", 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored.size());
    writeFile(colorsFolder() / "CurrentPalette", c.stored);
    std::array<char, 100> buffer;
    buffer.fill('#');
    uint32_t size = c.capacity;
    EXPECT_EQ(readRegistryValue(ColorsKey, "CurrentPalette", buffer.data(), size), c.ok);
    if (c.ok) {
      EXPECT_EQ(size, c.stored.size());
      EXPECT_EQ(std::string(buffer.data(), size), c.stored);
    } else {
      // A failed read leaves both the buffer and the size alone.
      EXPECT_EQ(size, c.capacity);
    }
    EXPECT_EQ(buffer[size], '#');
  }
}

TEST_F(RegistryTest, MissingPiecesAreFailedReads) {
  writeFile(colorsFolder() / "CurrentPalette", "abc");
  char buffer[8];
  uint32_t size = sizeof buffer;
  EXPECT_FALSE(readRegistryValue(ColorsKey, "OtherValue", buffer, size));
  EXPECT_FALSE(
      readRegistryValue("HKEY_CURRENT_USER\\Software\\Nobody", "CurrentPalette", buffer, size));
  EXPECT_FALSE(readRegistryValue(nullptr, "CurrentPalette", buffer, size));
  EXPECT_FALSE(readRegistryValue(ColorsKey, nullptr, buffer, size));
  EXPECT_EQ(size, sizeof buffer);

  ScopedEnvironment missingRoot("ORBISLINE_REGISTRY", (root.path() / "nowhere").c_str());
  EXPECT_FALSE(readRegistryValue(ColorsKey, "CurrentPalette", buffer, size));
}

TEST_F(RegistryTest, PathsCannotLeaveTheRoot) {
  // A value one level above the root, and one inside the key folder, that
  // the hostile paths below would reach if they were followed.
  writeFile(root.path() / "secret", "x");
  writeFile(colorsFolder() / "Inner" / "v", "x");
  const std::pair<const char*, const char*> cases[] = {
      {"..", "secret"},
      {"HKEY_CURRENT_USER\\..\\..", "secret"},
      {"HKEY_CURRENT_USER\\.\\Software\\Far\\Colors\\Inner", "v"},
      {"HKEY_CURRENT_USER/Software/Far/Colors/Inner", "v"},
      {"HKEY_CURRENT_USER\\\\Software\\Far\\Colors\\Inner", "v"},
      {"HKEY_CURRENT_USER\\Software\\Far\\Colors\\", "v"},
      {ColorsKey, "Inner/v"},
      {ColorsKey, "Inner\\v"},
      {ColorsKey, ".."},
      {ColorsKey, ""},
      {"", "secret"},
  };
  for (const auto& [key, value] : cases) {
    SCOPED_TRACE(std::string(key) + " : " + value);
    char buffer[8];
    uint32_t size = sizeof buffer;
    EXPECT_FALSE(readRegistryValue(key, value, buffer, size));
  }
  char buffer[8];
  uint32_t size = sizeof buffer;
  EXPECT_TRUE(
      readRegistryValue("HKEY_CURRENT_USER\\Software\\Far\\Colors\\Inner", "v", buffer, size));
}

TEST_F(RegistryTest, OnlyRegularFilesAreValues) {
  fs::create_directories(colorsFolder() / "Folder");
  ASSERT_EQ(mkfifo((colorsFolder() / "Pipe").c_str(), 0600), 0);
  char buffer[8];
  uint32_t size = sizeof buffer;
  EXPECT_FALSE(readRegistryValue(ColorsKey, "Folder", buffer, size));
  // Opening a pipe with no writer must not block.
  EXPECT_FALSE(readRegistryValue(ColorsKey, "Pipe", buffer, size));
}

TEST_F(RegistryTest, HomeFolderIsTheDefaultRoot) {
  ScratchFolder home;
  ScopedEnvironment noRoot("ORBISLINE_REGISTRY", nullptr);
  ScopedEnvironment homeVariable("HOME", home.path().c_str());
  writeFile(home.path() /
                ".config/orbisline/registry/HKEY_CURRENT_USER/Software/Far/Colors/"
                "CurrentPalette",
            "home");
  char buffer[8];
  uint32_t size = sizeof buffer;
  ASSERT_TRUE(readRegistryValue(ColorsKey, "CurrentPalette", buffer, size));
  EXPECT_EQ(std::string(buffer, size), "home");

  ScopedEnvironment noHome("HOME", nullptr);
  size = sizeof buffer;
  EXPECT_FALSE(readRegistryValue(ColorsKey, "CurrentPalette", buffer, size));
}

}  // namespace
}  // namespace orbis::platform
