#include "platform/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/scoped_environment.h"

namespace orbis::platform {
namespace {

using orbis::testing::ScratchFolder;
using namespace std::string_literals;

std::string writeFile(const ScratchFolder& folder, const std::string& name,
                      const std::string& bytes) {
  std::string path = (folder.path() / name).string();
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

// Every piece that reads of `capacity` bytes deliver until the end.
std::vector<std::string> readAll(TextFile& file, int32_t capacity) {
  std::vector<std::string> pieces;
  std::string buffer(static_cast<std::size_t>(capacity), '\0');
  for (int32_t n; (n = file.read(buffer.data(), capacity)) > 0;) {
    pieces.emplace_back(buffer.data(), static_cast<std::size_t>(n));
  }
  return pieces;
}

struct TextModeCase {
  std::string raw;
  int32_t capacity;
  std::vector<std::string> pieces;
};

TEST(TextFileTest, TextModeConversion) {
  const std::string letters(4095, 'L');
  const std::vector<TextModeCase> cases = {
      {"ab\r\ncd", 4096, {"ab\ncd"}},
      {"a\rb", 4096, {"a\rb"}},
      {"a\r\r\nb", 4096, {"a\r\nb"}},
      {"\n\n", 4096, {"\n\n"}},
      // A CR that ends the raw bytes of a read looks at the next byte.
      {"abc\r\nd", 4, {"abc", "\nd"}},
      {"abc\rxd", 4, {"abc\r", "xd"}},
      {"abc\r", 4, {"abc\r"}},
      {"\r\nab", 1, {"\n", "a", "b"}},
      {"a\r\n\r\nb", 2, {"a", "\n", "\nb"}},
      {letters + "\r\nb", 4096, {letters, "\nb"}},
      // The first 0x1A ends the data for good.
      {"ab\x1A"
       "cd",
       4096,
       {"ab"}},
      {"ab\x1A"
       "cd",
       2,
       {"ab"}},
      {"a\r\x1A"
       "b",
       2,
       {"a\r"}},
      {"\x1A"
       "abc",
       4096,
       {}},
  };
  ScratchFolder folder;
  for (const TextModeCase& c : cases) {
    std::string path = writeFile(folder, "case.txt", c.raw);
    TextFile file;
    ASSERT_TRUE(file.open(path.c_str()));
    EXPECT_EQ(file.length(), static_cast<int64_t>(c.raw.size()));
    EXPECT_EQ(readAll(file, c.capacity), c.pieces) << "capacity " << c.capacity;
    char byte = 0;
    EXPECT_EQ(file.read(&byte, 1), 0);
  }
}

TEST(TextFileTest, RewindForgetsTheEnd) {
  ScratchFolder folder;
  std::string path = writeFile(folder, "z.txt",
                               "ab\r\x1A"
                               "cd");
  TextFile file;
  ASSERT_TRUE(file.open(path.c_str()));
  EXPECT_EQ(readAll(file, 3), (std::vector<std::string>{"ab\r"}));
  ASSERT_TRUE(file.rewind());
  EXPECT_EQ(readAll(file, 4096), (std::vector<std::string>{"ab\r"}));
  file.close();
  EXPECT_FALSE(file.isOpen());
  EXPECT_FALSE(file.rewind());
}

TEST(TextFileTest, OnlyRegularFilesOpen) {
  ScratchFolder folder;
  std::string fifo = (folder.path() / "pipe").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string empty = writeFile(folder, "empty.txt", "");
  std::string text = writeFile(folder, "a.html", "<p>");
  struct Case {
    std::string path;
    bool opens;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {text, true, ""},
      {empty, true, "is empty"},
      {(folder.path() / "missing").string(), false, "No such file or directory"},
      {"", false, "No such file or directory"},
      {folder.path().string(), false, "is a directory"},
      {fifo, false, "is not a regular file"},  // must not wait for a writer
      {"/dev/zero", false, "is not a regular file"},
  };
  for (const Case& c : cases) {
    TextFile file;
    EXPECT_EQ(file.open(c.path.c_str()), c.opens) << c.path;
    EXPECT_EQ(file.isOpen(), c.opens) << c.path;
    if (!c.opens) {
      EXPECT_EQ(file.lastError(), c.reason) << c.path;
    }
    EXPECT_EQ(describeOpenFailure(c.path.c_str()), c.reason) << c.path;
  }
  EXPECT_EQ(describeOpenFailure(nullptr), "No such file or directory");
}

// Names taken from converted pages are in the code page, while the files on
// disk have UTF-8 names; a name is tried as given first.
TEST(TextFileTest, CodePageNamesFindUtf8Files) {
  if (std::strcmp(ansiCodePageName(), "CP1252") != 0) GTEST_SKIP() << "expects Windows-1252";
  ScratchFolder folder;
  writeFile(folder, "caf\xC3\xA9.html", "utf-8 name");
  writeFile(folder, "na\xEFve.html", "code page name");
  writeFile(folder, "na\xC3\xAFve.html", "utf-8 twin");
  struct Case {
    const char* name;
    const char* content;  // null: does not open
  };
  const Case cases[] = {
      {"caf\xC3\xA9.html", "utf-8 name"},  {"caf\xE9.html", "utf-8 name"},
      {"na\xEFve.html", "code page name"}, {"na\xC3\xAFve.html", "utf-8 twin"},
      {"caf\xE8.html", nullptr},           {"cafe.html", nullptr},
  };
  for (const Case& c : cases) {
    std::string path = (folder.path() / c.name).string();
    TextFile file;
    ASSERT_EQ(file.open(path.c_str()), c.content != nullptr) << c.name;
    if (c.content == nullptr) {
      EXPECT_EQ(file.lastError(), "No such file or directory") << c.name;
      continue;
    }
    EXPECT_EQ(readAll(file, 4096), (std::vector<std::string>{c.content})) << c.name;
  }
}

TEST(TextFileTest, PeekAndReadWithoutTextMode) {
  ScratchFolder folder;
  const std::string raw =
      "\xFF\xFE"
      "a\r\n\x1A"
      "b";
  std::string path = writeFile(folder, "raw.txt", raw);
  TextFile file;
  ASSERT_TRUE(file.open(path.c_str()));
  char start[4] = {};
  EXPECT_EQ(file.peekStart(start, 3), 3);
  EXPECT_EQ(std::string(start, 3),
            "\xFF\xFE"
            "a");
  file.setTextMode(false);
  EXPECT_EQ(readAll(file, 3), (std::vector<std::string>{raw.substr(0, 3), raw.substr(3, 3), "b"}));
  ASSERT_TRUE(file.rewind());
  file.setTextMode(true);
  EXPECT_EQ(readAll(file, 4096), (std::vector<std::string>{"\xFF\xFE"
                                                           "a\n"}));
  EXPECT_EQ(file.peekStart(start, 4), 4);
}

TEST(TextFileTest, UnreadableFileGivesTheReason) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "permissions do not bind the superuser";
  }
  ScratchFolder folder;
  std::string path = writeFile(folder, "secret.html", "x");
  ASSERT_EQ(chmod(path.c_str(), 0), 0);
  TextFile file;
  EXPECT_FALSE(file.open(path.c_str()));
  EXPECT_EQ(describeOpenFailure(path.c_str()), "Permission denied");
}

}  // namespace
}  // namespace orbis::platform
