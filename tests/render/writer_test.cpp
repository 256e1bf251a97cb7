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

#include "platform/scoped_environment.h"
#include "render/document.h"
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

RenderedLine makeLine(Alignment alignment, std::vector<std::string> texts) {
  RenderedLine line;
  line.alignment = alignment;
  for (std::string& text : texts) {
    line.runs.push_back(std::make_unique<TextRun>(ColorPair{1, 11}, std::move(text)));
  }
  return line;
}

// A Document whose temporary file lives in a private folder, written for a
// console of the fixture's size.
class WriterTest : public ::testing::Test {
protected:
  // Lines as layout leaves them: the current line is the last one.
  void addLine(RenderedLine line) {
    document->lines.push_back(std::move(line));
    lastLine = static_cast<int32_t>(document->lines.size()) - 1;
  }

  // 0, or the errno of the failure.
  int write() { return writeText(*document, lastLine, console); }

  ScratchFolder folder;
  ScopedEnvironment tmpdir{"TMPDIR", folder.path().c_str()};
  std::unique_ptr<Document> document = std::make_unique<Document>();
  int32_t lastLine = 0;
  platform::ConsoleSize console{80, 25};
};

TEST_F(WriterTest, NumberRunsPlacesRunsSideBySideFromColumnZero) {
  RenderedLine line = makeLine(Alignment::Left, {"abc", "d", "efgh"});
  numberRuns(line, 7);
  struct Expected {
    int32_t start, end;
  };
  const Expected expected[] = {{0, 2}, {3, 3}, {4, 7}};
  ASSERT_EQ(line.runs.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(line.runs[i]->line, 7);
    EXPECT_EQ(line.runs[i]->start, expected[i].start) << i;
    EXPECT_EQ(line.runs[i]->end, expected[i].end) << i;
  }
}

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
    document = std::make_unique<Document>();
    document->normalColors = {4, 14};
    addLine(makeLine(c.alignment, c.texts));
    ASSERT_EQ(write(), 0);

    std::string text;
    for (const std::string& piece : c.texts) text += piece;
    std::string expectedLine = std::string(c.padding, ' ') + text + "\n";
    std::string file = readFile(document->temporaryPath);
    EXPECT_EQ(file.substr(0, expectedLine.size()), expectedLine) << text;

    const RenderedLine& line = document->lines[0];
    EXPECT_EQ(line.alignment, Alignment::Left);
    ASSERT_EQ(line.runs.size(), c.texts.size() + (c.padding > 0 ? 1 : 0)) << text;
    if (c.padding > 0) {
      const TextRun& pad = *line.runs[0];
      EXPECT_EQ(pad.kind(), RunKind::Text);
      EXPECT_EQ(pad.text, std::string(c.padding, ' '));
      EXPECT_EQ(pad.colors, (ColorPair{4, 14}));
      EXPECT_EQ(pad.start, 0);
    }
    EXPECT_EQ(line.runs.back()->end, static_cast<int32_t>(c.padding + text.size()) - 1) << text;
  }
}

TEST_F(WriterTest, EmptyAlignedLineStaysEmpty) {
  addLine(makeLine(Alignment::Right, {}));
  addLine(makeLine(Alignment::Center, {}));
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
    document = std::make_unique<Document>();
    lastLine = 0;
    for (int i = 0; i < c.lines; ++i) addLine(makeLine(Alignment::Left, {"line"}));
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
  addLine(makeLine(Alignment::Right, {"x"}));
  ASSERT_EQ(write(), 0);
  EXPECT_EQ(readFile(document->temporaryPath), std::string(39, ' ') + "x\n" + std::string(6, '\n'));
  EXPECT_EQ(document->lastLineIndex, 6);
}

TEST_F(WriterTest, GoldenBytes) {
  addLine(makeLine(Alignment::Left, {"Title", " ", "here"}));
  addLine(makeLine(Alignment::Left, {}));
  addLine(makeLine(Alignment::Center, {"mid"}));
  addLine(makeLine(Alignment::Right, {"end"}));
  addLine(makeLine(Alignment::Left, {"  ", "\xB1\xDB high bytes \x01"}));
  ASSERT_EQ(write(), 0);
  const std::string expected = std::string("Title here\n") + "\n" + std::string(38, ' ') + "mid\n" +
                               std::string(77, ' ') + "end\n" + "  \xB1\xDB high bytes \x01\n" +
                               std::string(17, '\n');
  EXPECT_EQ(readFile(document->temporaryPath), expected);
  EXPECT_EQ(document->lastLineIndex, 21);
  for (std::size_t k = 0; k < document->lines.size(); ++k) {
    for (const auto& run : document->lines[k].runs) EXPECT_EQ(run->line, static_cast<int32_t>(k));
  }
}

TEST_F(WriterTest, ReplacesWhatTheFileHeld) {
  { std::ofstream(document->temporaryPath, std::ios::binary) << std::string(5000, 'z'); }
  addLine(makeLine(Alignment::Left, {"new"}));
  ASSERT_EQ(write(), 0);
  EXPECT_EQ(readFile(document->temporaryPath), "new\n" + std::string(21, '\n'));
}

TEST_F(WriterTest, FileThatCannotBeOpenedLeavesTheLinesAlone) {
  addLine(makeLine(Alignment::Right, {"ab"}));
  std::string kept = document->temporaryPath;
  for (std::string path :
       {(folder.path() / "missing" / "file").string(), folder.path().string(), std::string()}) {
    document->temporaryPath = path;
    EXPECT_NE(write(), 0) << path;
    EXPECT_EQ(document->lines[0].alignment, Alignment::Right);
    ASSERT_EQ(document->lines[0].runs.size(), 1u);
    EXPECT_EQ(document->lines[0].runs[0]->end, 0);
  }
  document->temporaryPath = kept;
}

TEST_F(WriterTest, FailedWriteIsReported) {
  // A file-size limit fails the writes as a full disk would (EFBIG, with
  // its signal ignored).
  addLine(makeLine(Alignment::Left, {std::string(10000, 'x')}));
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
    document = std::make_unique<Document>();
    { std::ofstream(victim, std::ios::binary) << "keep"; }
    ASSERT_EQ(std::rename(document->temporaryPath.c_str(), moved.c_str()), 0);
    if (link) {
      ASSERT_EQ(symlink(victim.c_str(), document->temporaryPath.c_str()), 0);
    } else {
      std::filesystem::copy_file(victim, document->temporaryPath);
    }
    addLine(makeLine(Alignment::Left, {"page"}));
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
