#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "config/settings_sources.h"
#include "platform/scoped_environment.h"
#include "render/document.h"
#include "render/layout.h"
#include "render/load_context.h"
#include "render/writer.h"

namespace orbis {
namespace {

using orbis::testing::ScopedEnvironment;
using orbis::testing::ScratchFolder;

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A Document whose temporary file lives in a private folder, its lines made
// by a layout for a console of the fixture's size, and written for it.
class WriterTest : public ::testing::Test {
protected:
  void SetUp() override { settings = builtInSettings(); }

  // A line of runs in colours 1/11 with the given alignment.
  void addLine(Alignment alignment, const std::vector<std::string>& texts) {
    if (layout == nullptr) {
      layout = std::make_unique<Layout>(*document, *settings, console.columns);
    } else {
      layout->newLine();
    }
    layout->setAlignment(alignment);
    for (const std::string& text : texts) {
      layout->appendRun({RunKind::Text, packColors({1, 11}), 0}, text, 0, 0);
    }
  }

  // Ends the page; 0, or the errno of the failure.
  int write() {
    if (layout != nullptr) layout->finish();
    document->lastLineIndex = lastLineIndexFor(layout ? layout->currentLine : 0, console);
    TemporaryFileText file(document->temporaryPath);
    TextWriter([&](std::string_view block) { return file.write(block); }).finish(*document);
    return file.close();
  }

  void restart() {
    layout.reset();
    document = std::make_unique<Document>();
  }

  ScratchFolder folder;
  ScopedEnvironment registry{"ORBISLINE_REGISTRY", folder.path().c_str()};
  ScopedEnvironment tmpdir{"TMPDIR", folder.path().c_str()};
  std::unique_ptr<Settings> settings;
  std::unique_ptr<Document> document = std::make_unique<Document>();
  std::unique_ptr<Layout> layout;
  platform::ConsoleSize console{80, 25};
};

TEST_F(WriterTest, AlignmentPadsTheFrontOfTheLine) {
  struct Case {
    Alignment alignment;
    std::vector<std::string> texts;
    std::size_t padding;  // blanks put in front
  };
  const std::string wide79(79, 'w');
  const std::string wide80(80, 'w');
  const Case cases[] = {
      {Alignment::Left, {"ab"}, 0},
      {Alignment::Right, {"ab"}, 78},        // text in columns 78 and 79
      {Alignment::Center, {"ab"}, 39},       // text in columns 39 and 40
      {Alignment::Center, {"abc"}, 38},      // the odd cell goes to the right
      {Alignment::Right, {"ab", "cd"}, 76},  // the whole line counts
      {Alignment::Center, {"ab", "cd"}, 38},
      {Alignment::Right, {wide79}, 1},
      {Alignment::Right, {wide80}, 0},  // already reaches column 79
      {Alignment::Center, {wide80}, 0},
      {Alignment::Right, {wide80 + "xyz"}, 0},  // longer than the console
      {Alignment::Center, {wide80 + "xyz"}, 0},
  };
  for (const Case& c : cases) {
    restart();
    addLine(c.alignment, c.texts);
    // The page's colours at its end colour the padding.
    document->normalColors = {4, 14};
    ASSERT_EQ(write(), 0);

    std::string text;
    for (const std::string& piece : c.texts) text += piece;
    std::string expectedLine = std::string(c.padding, ' ') + text + "\n";
    std::string file = readFile(document->temporaryPath);
    EXPECT_EQ(file.substr(0, expectedLine.size()), expectedLine) << text;

    const RenderedLine line = document->lines[0];
    EXPECT_EQ(line.text, expectedLine.substr(0, expectedLine.size() - 1));
    ASSERT_EQ(line.runs.size(), c.texts.size() + (c.padding > 0 ? 1 : 0)) << text;
    // The runs lie side by side from column 0.
    int32_t column = 0;
    for (const TextRun& run : line.runs) {
      EXPECT_EQ(run.start, column) << text;
      column = run.end + 1;
      EXPECT_EQ(run.isPadding(), c.padding > 0 && run.start == 0) << text;
      EXPECT_EQ(document->colorsOf(run), (run.isPadding() ? ColorPair{4, 14} : ColorPair{1, 11}));
    }
    EXPECT_EQ(column, static_cast<int32_t>(c.padding + text.size())) << text;
  }
}

TEST_F(WriterTest, EmptyAlignedLineStaysEmpty) {
  addLine(Alignment::Right, {});
  addLine(Alignment::Center, {});
  ASSERT_EQ(write(), 0);
  EXPECT_TRUE(document->lines[0].runs.empty());
  EXPECT_TRUE(document->lines[1].runs.empty());
  EXPECT_EQ(readFile(document->temporaryPath).substr(0, 2), "\n\n");
}

TEST_F(WriterTest, PadsTheEndToTheScreenHeight) {
  struct Case {
    int lines;
    std::size_t lineFeeds;
    int32_t lastLineIndex;
  };
  // Y = 25: the file reaches at least line Y - 4 = 21.
  const Case cases[] = {{0, 21, 21},  {1, 22, 21},  {5, 22, 21},
                        {22, 22, 21}, {23, 23, 22}, {30, 30, 29}};
  for (const Case& c : cases) {
    restart();
    for (int i = 0; i < c.lines; ++i) addLine(Alignment::Left, {"line"});
    ASSERT_EQ(write(), 0);
    std::string file = readFile(document->temporaryPath);
    EXPECT_EQ(static_cast<std::size_t>(std::count(file.begin(), file.end(), '\n')), c.lineFeeds)
        << c.lines << " lines";
    EXPECT_EQ(document->lastLineIndex, c.lastLineIndex) << c.lines << " lines";
    EXPECT_EQ(file.find('\r'), std::string::npos);
  }
}

TEST_F(WriterTest, ConsoleHeightSetsThePadding) {
  console = {40, 10};
  addLine(Alignment::Right, {"x"});
  ASSERT_EQ(write(), 0);
  EXPECT_EQ(readFile(document->temporaryPath), std::string(39, ' ') + "x\n" + std::string(6, '\n'));
  EXPECT_EQ(document->lastLineIndex, 6);
}

TEST_F(WriterTest, GoldenBytes) {
  addLine(Alignment::Left, {"Title", " ", "here"});
  addLine(Alignment::Left, {});
  addLine(Alignment::Center, {"mid"});
  addLine(Alignment::Right, {"end"});
  addLine(Alignment::Left, {"  ", "\xB1\xDB high bytes \x01"});
  ASSERT_EQ(write(), 0);
  const std::string expected = std::string("Title here\n") + "\n" + std::string(38, ' ') + "mid\n" +
                               std::string(77, ' ') + "end\n" + "  \xB1\xDB high bytes \x01\n" +
                               std::string(17, '\n');
  EXPECT_EQ(readFile(document->temporaryPath), expected);
  EXPECT_EQ(document->lastLineIndex, 21);
  // What --dump prints is what the file holds.
  std::string printed;
  EXPECT_TRUE(TextWriter([&](std::string_view block) {
                printed += block;
                return true;
              }).finish(*document));
  EXPECT_EQ(printed, expected);
}

// The text goes out in blocks, with no line lost or repeated at their seams,
// and a receiver that fails stops it.
TEST_F(WriterTest, LongTextGoesOutInBlocks) {
  std::string expected;
  for (int i = 0; i < 20000; ++i) {
    std::string text = std::to_string(i) + std::string(static_cast<std::size_t>(i % 97), 'q');
    addLine(Alignment::Left, {text});
    expected += text + "\n";
  }
  ASSERT_EQ(write(), 0);
  EXPECT_EQ(readFile(document->temporaryPath), expected);
  int blocks = 0;
  EXPECT_FALSE(TextWriter([&](std::string_view block) {
                 EXPECT_LE(block.size(), TextBlockSize);
                 return ++blocks < 3;
               }).finish(*document));
  EXPECT_EQ(blocks, 3);
}

TEST_F(WriterTest, ReplacesWhatTheFileHeld) {
  { std::ofstream(document->temporaryPath, std::ios::binary) << std::string(5000, 'z'); }
  addLine(Alignment::Left, {"new"});
  ASSERT_EQ(write(), 0);
  EXPECT_EQ(readFile(document->temporaryPath), "new\n" + std::string(21, '\n'));
}

TEST_F(WriterTest, FileThatCannotBeOpenedIsReported) {
  addLine(Alignment::Right, {"ab"});
  std::string kept = document->temporaryPath;
  for (std::string path :
       {(folder.path() / "missing" / "file").string(), folder.path().string(), std::string()}) {
    document->temporaryPath = path;
    EXPECT_NE(write(), 0) << path;
  }
  document->temporaryPath = kept;
}

TEST_F(WriterTest, FailedWriteIsReported) {
  // A file-size limit fails the writes as a full disk would (EFBIG, with
  // its signal ignored).
  addLine(Alignment::Left, {std::string(100000, 'x')});
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 4096;
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  bool written = write() == 0;
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(written);
}

// In a temporary folder that others may write to, the name can lead
// elsewhere by the time the text is written: to a link or to someone else's
// file. Neither is touched; the document's own file gets the text.
TEST_F(WriterTest, WritesItsOwnFileWhateverTheNameNowLeadsTo) {
  std::string victim = (folder.path() / "victim").string();
  std::string moved = (folder.path() / "moved").string();
  for (bool link : {true, false}) {
    restart();
    { std::ofstream(victim, std::ios::binary) << "keep"; }
    ASSERT_EQ(std::rename(document->temporaryPath.c_str(), moved.c_str()), 0);
    if (link) {
      ASSERT_EQ(symlink(victim.c_str(), document->temporaryPath.c_str()), 0);
    } else {
      std::filesystem::copy_file(victim, document->temporaryPath);
    }
    addLine(Alignment::Left, {"page"});
    ASSERT_EQ(write(), 0) << link;
    EXPECT_EQ(readFile(victim), "keep") << link;
    EXPECT_EQ(readFile(document->temporaryPath), "keep") << link;
    EXPECT_EQ(readFile(moved), "page\n" + std::string(21, '\n')) << link;
    std::filesystem::remove(moved);
  }
}

// Where the console's size is unknown a page is laid out and written for
// 80 by 25, and never narrower than text flow can work with.
TEST(LayoutConsoleSizeTest, UnknownSizesAre80By25) {
  const std::pair<platform::ConsoleSize, platform::ConsoleSize> cases[] = {
      {{0, 0}, {80, 25}},    {{-3, -1}, {80, 25}}, {{1, 10}, {2, 10}},
      {{120, 0}, {120, 25}}, {{0, 40}, {80, 40}},  {{200, 60}, {200, 60}},
  };
  for (const auto& [measured, expected] : cases) {
    platform::ConsoleSize size = layoutConsoleSize(measured);
    EXPECT_EQ(size.columns, expected.columns) << measured.columns << "x" << measured.rows;
    EXPECT_EQ(size.rows, expected.rows) << measured.columns << "x" << measured.rows;
  }
}

}  // namespace
}  // namespace orbis
