#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/settings.h"
#include "host/far_api.h"
#include "markup/byte_source.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/scoped_environment.h"
#include "render/document.h"

namespace orbis {
namespace {

using orbis::testing::ScopedEnvironment;
using orbis::testing::ScratchFolder;

constexpr char EmptyCell = '\xB1';
constexpr char FullCell = '\xDB';

struct MessageCall {
  unsigned flags;
  std::vector<std::string> items;
  int buttons;
};

// What the fake host saw. The host functions are plain C pointers, so they
// reach the recorder of the running test through this pointer.
struct Recorder {
  std::vector<MessageCall> calls;
  int saves = 0;
  int restores = 0;
  void* restored = nullptr;
  int answer = 0;                     // the button the time-out question gets
  std::function<void()> duringQuestion;
  std::vector<uint32_t> answeredAt;   // ticks when each question returned
  std::vector<uint32_t> askedAt;
};
Recorder* recorder = nullptr;
char screenHandle;

int fakeMessage(intptr_t, unsigned flags, const char*, const char* const* items, int count, int buttons) {
  MessageCall call{flags, {}, buttons};
  for (int i = 0; i < count; ++i) call.items.emplace_back(items[i]);
  recorder->calls.push_back(call);
  if (buttons == 0) return 0;
  recorder->askedAt.push_back(platform::tickCount());
  if (recorder->duringQuestion) recorder->duringQuestion();
  recorder->answeredAt.push_back(platform::tickCount());
  return recorder->answer;
}
void* fakeSaveScreen(int x1, int y1, int x2, int y2) {
  EXPECT_EQ(x1, 0);
  EXPECT_EQ(y1, 0);
  EXPECT_EQ(x2, -1);
  EXPECT_EQ(y2, -1);
  ++recorder->saves;
  return &screenHandle;
}
void fakeRestoreScreen(void* screen) {
  ++recorder->restores;
  recorder->restored = screen;
}

int filledCells(const MessageCall& call) {
  return static_cast<int>(std::count(call.items.at(1).begin(), call.items.at(1).end(), FullCell));
}

std::string lineText(const RenderedLine& line) {
  std::string text;
  for (const auto& run : line.runs) text += run->text;
  return text;
}

class LoadTest : public ::testing::Test {
protected:
  void SetUp() override {
    ByteSource nothing;  // the built-in settings
    ownSettings = Settings::fromSource(nothing);
    settings = ownSettings.get();
    recorder = &record;
    host.StructSize = sizeof host;
    host.ModuleNumber = 7;
    host.Message = fakeMessage;
    host.SaveScreen = fakeSaveScreen;
    host.RestoreScreen = fakeRestoreScreen;
    setLoadHost(&host);
    platform::setConsoleSizeOverride({80, 25});
  }
  void TearDown() override {
    platform::clearConsoleSizeOverride();
    setLoadHost(nullptr);
    recorder = nullptr;
    settings = nullptr;
  }

  std::string writeFile(const std::string& name, const std::string& content) {
    std::string path = (folder.path() / name).string();
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

  std::vector<const MessageCall*> questions() const {
    std::vector<const MessageCall*> found;
    for (const MessageCall& call : record.calls)
      if (call.buttons != 0) found.push_back(&call);
    return found;
  }

  ScratchFolder folder;
  ScratchFolder registry;
  ScopedEnvironment registryVariable{"ORBISLINE_REGISTRY", registry.path().c_str()};
  ScopedEnvironment tmpdir{"TMPDIR", folder.path().c_str()};
  std::unique_ptr<Settings> ownSettings;
  Recorder record;
  PluginStartupInfo host{};
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
    EXPECT_FALSE(document.load(c.name));
    EXPECT_EQ(document.sourcePath, c.trimmed) << c.name;
  }
  EXPECT_TRUE(record.calls.empty());
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
    EXPECT_FALSE(document.load(c.name));
    EXPECT_EQ(document.loadFailure, c.failure) << c.name << " with exts '" << c.exts << "'";
  }
  Document document;
  EXPECT_FALSE(document.load(nullptr));
  EXPECT_EQ(document.loadFailure, LoadFailure::NoName);
  EXPECT_TRUE(record.calls.empty());
  EXPECT_EQ(record.saves, 0);
  // The refusal messages list the same words the check accepts.
  settings->exts = "htm  x ";
  EXPECT_EQ(acceptedExtensions(), (std::vector<std::string_view>{"htm", "", "x"}));
  auto* loadedSettings = settings;
  settings = nullptr;
  EXPECT_EQ(acceptedExtensions(), (std::vector<std::string_view>{"htm", "html"}));
  settings = loadedSettings;
}

TEST_F(LoadNameTest, EmptyAndMissingFilesAreRefusedQuietly) {
  for (std::string path : {writeFile("empty.htm", ""), (folder.path() / "missing.htm").string(),
                           folder.path().string() + "/.htm"}) {
    Document document;
    EXPECT_FALSE(document.load(path.c_str())) << path;
    EXPECT_EQ(document.loadFailure, LoadFailure::CannotOpen) << path;
    EXPECT_TRUE(document.lines.empty());
  }
  EXPECT_TRUE(record.calls.empty());
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
    record = Recorder{};
    std::string path = writeFile("small.htm", c.content);
    Document document;
    ASSERT_TRUE(document.load(path.c_str())) << c.content;

    ASSERT_EQ(record.calls.size(), 3u) << c.content;
    const unsigned flags[] = {0, FMSG_KEEPBACKGROUND, FMSG_KEEPBACKGROUND};
    const int cells[] = {0, c.cells, 50};
    for (int i = 0; i < 3; ++i) {
      const MessageCall& call = record.calls[i];
      EXPECT_EQ(call.flags, flags[i]) << i;
      EXPECT_EQ(call.buttons, 0);
      ASSERT_EQ(call.items.size(), 2u);
      EXPECT_EQ(call.items[0], "Orbisline");
      ASSERT_EQ(call.items[1].size(), 50u);
      EXPECT_EQ(filledCells(call), cells[i]) << c.content << " call " << i;
      EXPECT_EQ(call.items[1].find_first_not_of(std::string{FullCell, EmptyCell}),
                std::string::npos);
    }
    EXPECT_EQ(record.saves, 1);
    EXPECT_EQ(record.restores, 1);
    EXPECT_EQ(record.restored, &screenHandle);
  }
}

TEST_F(LoadProgressTest, WithoutAHostNothingIsShown) {
  setLoadHost(nullptr);
  settings->timeout = 0;  // the question counts as "Resume"
  std::string path = writeFile("page.htm", "<title>T</title><p>one</p><p>two</p>");
  Document document;
  ASSERT_TRUE(document.load(path.c_str()));
  EXPECT_EQ(document.title, "T");
  EXPECT_TRUE(record.calls.empty());
  EXPECT_EQ(record.saves, 0);
}

TEST_F(LoadTest, RendersThePageAndDropsTheTree) {
  std::string path = writeFile("page.html", "<p>first</p><p align=right>second</p>");
  Document document;
  ASSERT_TRUE(document.load(path.c_str()));
  EXPECT_EQ(document.loadFailure, LoadFailure::None);
  EXPECT_EQ(document.treeRoot, nullptr);
  EXPECT_EQ(document.title, "No Title");
  EXPECT_EQ(document.sourcePath, path);
  EXPECT_EQ(document.wrapWidth, 80);
  std::ifstream in(document.temporaryPath, std::ios::binary);
  std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(file.substr(0, 6), "first\n");
  EXPECT_NE(file.find(std::string(74, ' ') + "second\n"), std::string::npos);
  EXPECT_EQ(document.lastLineIndex, 21);
}

TEST_F(LoadTest, NarrowConsoleStillLaysOutAtTwoColumns) {
  platform::setConsoleSizeOverride({1, 25});
  std::string path = writeFile("page.htm", "<p>" + std::string(50, 'w') + " tail</p>");
  Document document;
  ASSERT_TRUE(document.load(path.c_str()));
  EXPECT_EQ(document.wrapWidth, 2);
  std::string text;
  for (const RenderedLine& line : document.lines) text += lineText(line);
  EXPECT_EQ(std::count(text.begin(), text.end(), 'w'), 50);
}

TEST_F(LoadTest, UnreadableConsoleSizeLaysOutAt80Columns) {
  platform::clearConsoleSizeOverride();
  platform::ConsoleSize size;
  if (platform::consoleMaxWindowSize(size)) GTEST_SKIP() << "running on a terminal";
  std::string path = writeFile("page.htm", "<p>x</p>");
  Document document;
  ASSERT_TRUE(document.load(path.c_str()));
  EXPECT_EQ(document.wrapWidth, 80);
}

TEST_F(LoadTest, TemporaryFileThatCannotBeMadeFailsAfterTheBar) {
  std::string path = writeFile("page.htm", "<p>text</p>");
  std::string missing = (folder.path() / "missing").string();
  ScopedEnvironment noTemporary("TMPDIR", missing.c_str());
  Document document;
  EXPECT_FALSE(document.load(path.c_str()));
  EXPECT_EQ(document.loadFailure, LoadFailure::CannotWrite);
  EXPECT_EQ(document.temporaryError, ENOENT);
  EXPECT_EQ(record.saves, 1);
  EXPECT_EQ(record.restores, 1);
  ASSERT_FALSE(record.calls.empty());
  EXPECT_EQ(filledCells(record.calls.back()), 50);
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
  for (const RenderedLine& line : document.lines)
    if (lineText(line).rfind("paragraph ", 0) == 0) ++shown;
  return shown;
}

using LoadTimeoutTest = LoadTest;

TEST_F(LoadTimeoutTest, TerminateOrEscapeLaysOutThePartialTree) {
  constexpr int Paragraphs = 100000;
  std::string path = writeFile("big.htm", manyParagraphs(Paragraphs));
  for (int answer : {1, -1}) {
    record = Recorder{};
    record.answer = answer;
    settings->timeout = 0;
    Document document;
    ASSERT_TRUE(document.load(path.c_str()));
    std::vector<const MessageCall*> asked = questions();
    ASSERT_EQ(asked.size(), 1u) << "asked once, then the worker stops";
    EXPECT_EQ(asked[0]->flags, static_cast<unsigned>(FMSG_WARNING));
    EXPECT_EQ(asked[0]->buttons, 2);
    EXPECT_EQ(asked[0]->items, (std::vector<std::string>{"Warning",
                                                         "Oops! Time Out ... please report about",
                                                         "Resume", "Terminate"}));
    int shown = paragraphsShown(document);
    EXPECT_LT(shown, Paragraphs) << "answer " << answer;
    EXPECT_GT(document.lastLineIndex, 0);
    EXPECT_TRUE(std::filesystem::exists(document.temporaryPath));
    EXPECT_EQ(filledCells(record.calls.back()), 50);
    EXPECT_EQ(record.restores, 1);
  }
}

TEST_F(LoadTimeoutTest, ResumeParsesEverythingAndWaitsAFullPeriodBeforeAskingAgain) {
  constexpr int Paragraphs = 100000;
  constexpr uint32_t Timeout = 2;
  std::string path = writeFile("big.htm", manyParagraphs(Paragraphs));
  settings->timeout = Timeout;
  record.answer = 0;
  // While the question is open the worker is paused: the progress stays put.
  std::vector<std::pair<int32_t, int32_t>> progressDuringQuestion;
  record.duringQuestion = [&] {
    if (progressDuringQuestion.size() >= 2) return;
    platform::sleepMilliseconds(5);
    int32_t before = loadProgress.load();
    platform::sleepMilliseconds(15);
    progressDuringQuestion.emplace_back(before, loadProgress.load());
  };
  Document document;
  ASSERT_TRUE(document.load(path.c_str()));
  EXPECT_EQ(paragraphsShown(document), Paragraphs);
  ASSERT_GE(record.askedAt.size(), 1u) << "the parse took less than " << Timeout << " ms";
  for (std::size_t i = 1; i < record.askedAt.size(); ++i) {
    EXPECT_GE(record.askedAt[i] - record.answeredAt[i - 1], Timeout) << i;
  }
  for (auto [before, after] : progressDuringQuestion) EXPECT_EQ(before, after);
}

}  // namespace
}  // namespace orbis
