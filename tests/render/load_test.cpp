#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "config/settings_sources.h"
#include "markup/byte_source.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/scoped_environment.h"
#include "render/document.h"
#include "render/load_check.h"
#include "render/load_context.h"
#include "render/load_host.h"
#include "render/writer.h"

namespace orbis {
namespace {

using orbis::testing::ScopedEnvironment;
using orbis::testing::ScratchFolder;

constexpr char EmptyCell = '\xB1';
constexpr char FullCell = '\xDB';

struct ProgressCall {
  std::string bar;
  bool keepBackground;
};

// What the load showed through its host.
struct Recorder : LoadHost {
  void saveScreen() override {
    ++saves;
    screenSaved = true;
  }
  void restoreScreen() override {
    EXPECT_TRUE(screenSaved) << "restored without a saved screen";
    screenSaved = false;
    ++restores;
  }
  void showProgress(const char* bar, bool keepBackground) override {
    EXPECT_TRUE(screenSaved) << "drawn over an unsaved screen";
    progress.push_back({bar, keepBackground});
  }
  bool askResume() override {
    askedAt.push_back(platform::tickCount());
    if (duringQuestion) duringQuestion();
    answeredAt.push_back(platform::tickCount());
    return resume;
  }

  std::vector<ProgressCall> progress;
  int saves = 0;
  int restores = 0;
  bool screenSaved = false;
  bool resume = true;  // the answer to the time-out question
  std::function<void()> duringQuestion;
  std::vector<uint32_t> answeredAt;  // ticks when each question returned
  std::vector<uint32_t> askedAt;
};

int filledCells(const ProgressCall& call) {
  return static_cast<int>(std::count(call.bar.begin(), call.bar.end(), FullCell));
}

std::string lineText(const RenderedLine& line) { return std::string(line.text); }

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Loads with the built-in settings for an 80 by 25 console, shown through a
// recording host.
class LoadTest : public ::testing::Test {
protected:
  void SetUp() override { settings = builtInSettings(); }

  LoadResult load(Document& document, const char* name) {
    return document.load(name, LoadContext{*settings, layoutConsoleSize(console), host, &progress});
  }

  std::string writeFile(const std::string& name, const std::string& content) {
    std::string path = (folder.path() / name).string();
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

  ScratchFolder folder;
  ScratchFolder registry;
  ScopedEnvironment registryVariable{"ORBISLINE_REGISTRY", registry.path().c_str()};
  ScopedEnvironment tmpdir{"TMPDIR", folder.path().c_str()};
  std::unique_ptr<Settings> settings;
  Recorder record;
  LoadHost* host = &record;
  platform::ConsoleSize console{80, 25};
  ReadProgress progress{0};
};

using LoadNameTest = LoadTest;

TEST_F(LoadNameTest, TrimsBlanksAndQuotes) {
  struct Case {
    const char* name;
    const char* trimmed;
  };
  const Case cases[] = {
      {"  \"C:\\docs\\a b.htm\" x  ", "C:\\docs\\a b.htm"},
      {"\"unclosed.htm", "unclosed.htm"},
      {"  plain.htm  ", "plain.htm"},
      {"\tpage.htm\t", "\tpage.htm\t"},  // only blanks are trimmed
      {"a \"b\".htm", "a \"b\".htm"},    // a quote counts only at the start
      {"   ", ""},
      {"\"", ""},
      {"\"\"x.htm", ""},
  };
  for (const Case& c : cases) {
    Document document;
    EXPECT_FALSE(load(document, c.name).loaded());
    EXPECT_EQ(document.sourcePath, c.trimmed) << c.name;
  }
  EXPECT_TRUE(record.progress.empty());
  EXPECT_EQ(record.saves, 0);
}

TEST_F(LoadNameTest, ExtensionMustBeAWordOfExts) {
  struct Case {
    const char* name;
    const char* exts;
    LoadFailure failure;  // CannotOpen: the name passed, the file is missing
  };
  const Case cases[] = {
      {"PAGE.HTM", "htm html ", LoadFailure::CannotOpen},
      {"page.Html", "htm html ", LoadFailure::CannotOpen},
      {"page.htm5", "htm html ", LoadFailure::ExtensionNotAccepted},
      {"page.ht", "htm html ", LoadFailure::ExtensionNotAccepted},
      {"page", "htm html ", LoadFailure::NoExtension},
      {"", "htm html ", LoadFailure::NoExtension},
      {"dir.htm/page", "htm html ", LoadFailure::ExtensionNotAccepted},
      {"page.", "htm html ", LoadFailure::ExtensionNotAccepted},
      {"page.", "htm  html ", LoadFailure::CannotOpen},  // the empty word between two blanks
      {"page.htm", "htm  html ", LoadFailure::CannotOpen},
      {"page.htm", "htm html", LoadFailure::CannotOpen},
      {"page.html", "htm html", LoadFailure::ExtensionNotAccepted},  // no blank ends it
      {"page.htm", "htm", LoadFailure::ExtensionNotAccepted},
      {"page.htm", "", LoadFailure::ExtensionNotAccepted},
      {"page.txt", "txt ", LoadFailure::CannotOpen},
  };
  for (const Case& c : cases) {
    settings->exts = c.exts;
    Document document;
    EXPECT_EQ(load(document, c.name).failure, c.failure)
        << c.name << " with exts '" << c.exts << "'";
  }
  Document document;
  EXPECT_EQ(load(document, nullptr).failure, LoadFailure::NoName);
  EXPECT_TRUE(record.progress.empty());
  EXPECT_EQ(record.saves, 0);
  // The refusal messages list the same words the check accepts.
  settings->exts = "htm  x ";
  EXPECT_EQ(acceptedExtensions(*settings), (std::vector<std::string_view>{"htm", "", "x"}));
}

TEST_F(LoadNameTest, EmptyAndMissingFilesAreRefusedQuietly) {
  for (std::string path : {writeFile("empty.htm", ""), (folder.path() / "missing.htm").string(),
                           folder.path().string() + "/.htm"}) {
    Document document;
    EXPECT_EQ(load(document, path.c_str()).failure, LoadFailure::CannotOpen) << path;
    EXPECT_TRUE(document.lines.empty());
  }
  EXPECT_TRUE(record.progress.empty());
  EXPECT_EQ(record.saves, 0);
}

using LoadProgressTest = LoadTest;

TEST_F(LoadProgressTest, SmallFileShowsItsFinalProgressThenTheFullBar) {
  struct Case {
    const char* content;
    int cells;  // 40 at 100 %; a CR LF pair reads as one byte, so less
  };
  const Case cases[] = {{"<p>hello</p>", 40}, {"ab\r\ncd", 33}};
  for (const Case& c : cases) {
    record.progress.clear();
    record.saves = record.restores = 0;
    std::string path = writeFile("small.htm", c.content);
    Document document;
    ASSERT_TRUE(load(document, path.c_str()).loaded()) << c.content;

    ASSERT_EQ(record.progress.size(), 3u) << c.content;
    const bool keeps[] = {false, true, true};
    const int cells[] = {0, c.cells, 50};
    for (int i = 0; i < 3; ++i) {
      const ProgressCall& call = record.progress[i];
      EXPECT_EQ(call.keepBackground, keeps[i]) << i;
      ASSERT_EQ(call.bar.size(), 50u);
      EXPECT_EQ(filledCells(call), cells[i]) << c.content << " call " << i;
      EXPECT_EQ(call.bar.find_first_not_of(std::string{FullCell, EmptyCell}), std::string::npos);
    }
    EXPECT_EQ(record.saves, 1);
    EXPECT_EQ(record.restores, 1);
  }
}

TEST_F(LoadProgressTest, WithoutAHostNothingIsShown) {
  host = nullptr;
  settings->timeout = 0;  // the question counts as "Resume"
  std::string path = writeFile("page.htm", "<title>T</title><p>one</p><p>two</p>");
  Document document;
  ASSERT_TRUE(load(document, path.c_str()).loaded());
  EXPECT_EQ(document.title, "T");
  EXPECT_TRUE(record.progress.empty());
  EXPECT_EQ(record.saves, 0);
}

TEST_F(LoadTest, RendersThePageAndDropsTheTree) {
  std::string path = writeFile("page.html", "<p>first</p><p align=right>second</p>");
  Document document;
  LoadResult result = load(document, path.c_str());
  ASSERT_TRUE(result.loaded());
  EXPECT_EQ(result.message, "");
  EXPECT_EQ(document.title, "No Title");
  EXPECT_EQ(document.sourcePath, path);
  std::ifstream in(document.temporaryPath, std::ios::binary);
  std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(file.substr(0, 6), "first\n");
  EXPECT_NE(file.find(std::string(74, ' ') + "second\n"), std::string::npos);
  EXPECT_EQ(document.lastLineIndex, 21);
}

// Pages in other encodings lay out in characters of the code page, and
// their links name files in the code page, which open the UTF-8 names on
// disk. Without the conversion the bytes stay as they are.
TEST_F(LoadTest, PagesInOtherEncodingsAndTheirLinks) {
  if (std::strcmp(platform::ansiCodePageName(), "CP1252") != 0)
    GTEST_SKIP() << "expects Windows-1252";
  const std::string body =
      "<p>caf\xC3\xA9 \xE2\x80\x94 \xC2\xB6</p><a href='caf\xC3\xA9.html'>next</a>";
  const std::string body1252 = "<p>caf\xE9 \x97 \xB6</p><a href='caf\xE9.html'>next</a>";
  const std::string pages[] = {
      "<meta charset=utf-8>" + body,
      "<meta http-equiv=Content-Type content='text/html; charset=iso-8859-1'>" + body1252,
      "\xEF\xBB\xBF" + body,
      body,
  };
  writeFile("caf\xC3\xA9.html", "<p>second page</p>");
  for (const std::string& page : pages) {
    Document document;
    ASSERT_TRUE(load(document, writeFile("page.html", page).c_str()).loaded());
    ASSERT_GE(document.lines.size(), 3u);
    EXPECT_EQ(lineText(document.lines[0]), "caf\xE9 \x97 \xB6") << page;
    const RenderedLine line = document.lines[2];
    ASSERT_TRUE(!line.runs.empty() && line.runs[0].isLink()) << page;
    std::string target(document.targetOf(line.runs[0]));
    EXPECT_EQ(target, "caf\xE9.html");

    Document next;
    ASSERT_TRUE(load(next, (folder.path() / target).string().c_str()).loaded()) << target;
    EXPECT_EQ(lineText(next.lines[0]), "second page");
  }
  settings->convertCharset = false;
  Document asWritten;
  ASSERT_TRUE(load(asWritten, writeFile("page.html", pages[0]).c_str()).loaded());
  EXPECT_EQ(lineText(asWritten.lines[0]), "caf\xC3\xA9 \xE2\x80\x94 \xC2\xB6");
}

TEST_F(LoadTest, NarrowConsoleStillLaysOutAtTwoColumns) {
  console = {1, 25};
  std::string path = writeFile("page.htm", "<p>" + std::string(50, 'w') + " tail</p>");
  Document document;
  ASSERT_TRUE(load(document, path.c_str()).loaded());
  std::string text;
  for (const RenderedLine line : document.lines) {
    EXPECT_LE(lineText(line).size(), 2u) << lineText(line);
    text += lineText(line);
  }
  EXPECT_EQ(std::count(text.begin(), text.end(), 'w'), 50);
}

TEST_F(LoadTest, TemporaryFileThatCannotBeMadeFailsAfterTheBar) {
  std::string path = writeFile("page.htm", "<p>text</p>");
  std::string missing = (folder.path() / "missing").string();
  ScopedEnvironment noTemporary("TMPDIR", missing.c_str());
  Document document;
  LoadResult result = load(document, path.c_str());
  EXPECT_EQ(result.failure, LoadFailure::CannotWrite);
  EXPECT_EQ(result.message,
            "cannot create a temporary file in " + missing + ": " + std::strerror(ENOENT));
  EXPECT_EQ(record.saves, 1);
  EXPECT_EQ(record.restores, 1);
  ASSERT_FALSE(record.progress.empty());
  EXPECT_EQ(filledCells(record.progress.back()), 50);
}

// Many short paragraphs, so that parsing takes a while and a stopped parse
// leaves a visible part of them.
std::string manyParagraphs(int count) {
  std::string page;
  for (int i = 0; i < count; ++i) page += "<p>paragraph " + std::to_string(i) + "</p>\n";
  return page;
}

int paragraphsShown(const Document& document) {
  int shown = 0;
  for (const RenderedLine line : document.lines)
    if (lineText(line).rfind("paragraph ", 0) == 0) ++shown;
  return shown;
}

// The text goes out while the page is laid out, to the temporary file or to
// a caller's printer: either way it is what the finished document holds,
// whole, on a page long enough to be laid out in many slices.
TEST_F(LoadTest, TextWrittenDuringTheLoadIsTheWholeDocument) {
  std::string page;
  for (int i = 0; i < 30000; ++i) {
    page += "<p align=" + std::string(i % 3 == 0 ? "center" : "left") + ">paragraph " +
            std::to_string(i) + " <a href='#p" + std::to_string(i % 7) + "'>link</a> " +
            std::string(static_cast<std::size_t>(i % 150), 'w') + "</p>\n";
  }
  std::string path = writeFile("long.htm", page);
  Document inFile;
  ASSERT_TRUE(load(inFile, path.c_str()).loaded());
  std::string expected;
  ASSERT_TRUE(TextWriter([&](std::string_view block) {
                expected += block;
                return true;
              }).finish(inFile));
  std::size_t shown = 0;
  for (std::size_t at = expected.find("paragraph "); at != std::string::npos;
       at = expected.find("paragraph ", at + 1)) {
    ++shown;
  }
  EXPECT_EQ(shown, 30000u);
  EXPECT_EQ(readFile(inFile.temporaryPath), expected);

  Document printed;
  std::string text;
  const TextReceiver printer = [&](std::string_view block) {
    EXPECT_LE(block.size(), TextBlockSize);
    text += block;
    return true;
  };
  LoadContext context{*settings, layoutConsoleSize(console), host, &progress};
  context.printText = &printer;
  ASSERT_TRUE(printed.load(path.c_str(), context).loaded());
  EXPECT_EQ(text, expected);
  EXPECT_EQ(readFile(printed.temporaryPath), "");
}

using LoadTimeoutTest = LoadTest;

TEST_F(LoadTimeoutTest, TerminateLaysOutThePartialTree) {
  constexpr int Paragraphs = 100000;
  std::string path = writeFile("big.htm", manyParagraphs(Paragraphs));
  record.resume = false;
  settings->timeout = 0;
  Document document;
  ASSERT_TRUE(load(document, path.c_str()).loaded());
  ASSERT_EQ(record.askedAt.size(), 1u) << "asked once, then the worker stops";
  EXPECT_LT(paragraphsShown(document), Paragraphs);
  EXPECT_GT(document.lastLineIndex, 0);
  EXPECT_TRUE(std::filesystem::exists(document.temporaryPath));
  EXPECT_EQ(filledCells(record.progress.back()), 50);
  EXPECT_EQ(record.restores, 1);
}

TEST_F(LoadTimeoutTest, ResumeParsesEverythingAndWaitsAFullPeriodBeforeAskingAgain) {
  constexpr int Paragraphs = 100000;
  constexpr uint32_t Timeout = 2;
  std::string path = writeFile("big.htm", manyParagraphs(Paragraphs));
  settings->timeout = Timeout;
  // While the question is open the worker is paused: the progress stays put.
  std::vector<std::pair<int32_t, int32_t>> progressDuringQuestion;
  record.duringQuestion = [&] {
    if (progressDuringQuestion.size() >= 2) return;
    platform::sleepMilliseconds(5);
    int32_t before = progress.load();
    platform::sleepMilliseconds(15);
    progressDuringQuestion.emplace_back(before, progress.load());
  };
  Document document;
  ASSERT_TRUE(load(document, path.c_str()).loaded());
  EXPECT_EQ(paragraphsShown(document), Paragraphs);
  ASSERT_GE(record.askedAt.size(), 1u) << "the parse took less than " << Timeout << " ms";
  for (std::size_t i = 1; i < record.askedAt.size(); ++i) {
    EXPECT_GE(record.askedAt[i] - record.answeredAt[i - 1], Timeout) << i;
  }
  for (auto [before, after] : progressDuringQuestion) EXPECT_EQ(before, after);
}

}  // namespace
}  // namespace orbis
