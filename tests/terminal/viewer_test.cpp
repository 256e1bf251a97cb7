// The viewer in a real terminal, driven as a person drives it: keys and the
// mouse go in through tmux, and what the pane shows, the colours of its
// cells and the terminal's modes come back out. Every way out must leave the
// terminal as it was (normal screen, cursor shown, no mouse reporting, the
// title from before) and no temporary file behind.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <string>
#include <vector>

#include "platform/scoped_environment.h"
#include "tmux_pane.h"

namespace orbis {
namespace {

using orbis::testing::Cell;
using orbis::testing::Launch;
using orbis::testing::ScratchFolder;
using orbis::testing::ScreenRow;
using orbis::testing::TmuxPane;

// A console colour (bit 0 blue, 1 green, 2 red, 3 bright) as the number of
// the terminal colour of the same meaning (bit 0 red, 1 green, 2 blue).
int terminalColour(int console) {
  return ((console & 1) << 2) | (console & 2) | ((console & 4) >> 2) | (console & 8);
}

// Black page, bright cyan links, a bright yellow link under the cursor.
const char* const PageColours = "<body bgcolor=#000000 text=#c0c0c0 link=#00ffff alink=#ffff00>";
const int LinkColour = terminalColour(11);
const int LitLinkColour = terminalColour(14);

class ViewerTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!TmuxPane::available()) GTEST_SKIP() << "tmux is not installed";
  }

  std::string writePage(const std::string& name, const std::string& html) {
    std::filesystem::path path = folder.path() / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << html;
    return path.string();
  }

  // The tour page: its link alone at the start of line 1, "needle" on
  // lines 40 and 60 (0-based), 80 lines in all.
  std::string writeTourPages() {
    writePage("b.html", std::string("<title>Page B</title>") + PageColours +
                            "This is the second page.<br><a href=tour.html>back</a>");
    std::string html = std::string("<title>Tour</title>") + PageColours + "Top of the tour<br>" +
                       "<a href=b.html>second page</a> after the link<br>";
    for (int line = 2; line < 80; ++line) {
      bool needle = line == 40 || line == 60;
      html += (needle ? "a NeEdLe on line " : "filler line ") + std::to_string(line) + "<br>";
    }
    return writePage("tour.html", html);
  }

  bool start(Launch launch) {
    if (!pane.start(launch)) {
      ADD_FAILURE() << pane.lastError();
      return false;
    }
    return true;
  }

  // The row that shows text, or -1.
  int rowOf(const std::string& text) {
    std::vector<std::string> rows = pane.rows();
    for (std::size_t row = 0; row < rows.size(); ++row) {
      if (rows[row].find(text) != std::string::npos) return static_cast<int>(row);
    }
    return -1;
  }

  // The cells of the first place on the screen that shows text.
  std::vector<Cell> cellsOf(const std::string& text) {
    std::vector<std::string> rows = pane.rows();
    std::vector<ScreenRow> cells = pane.cells();
    for (std::size_t row = 0; row < rows.size() && row < cells.size(); ++row) {
      std::string joined;
      std::vector<std::size_t> starts;
      for (const Cell& cell : cells[row]) {
        starts.push_back(joined.size());
        joined += cell.text;
      }
      std::size_t at = joined.find(text);
      if (at == std::string::npos) continue;
      std::vector<Cell> found;
      for (std::size_t i = 0; i < starts.size(); ++i) {
        if (starts[i] >= at && starts[i] < at + text.size()) found.push_back(cells[row][i]);
      }
      return found;
    }
    return {};
  }

  bool textHasColour(const std::string& text, int fg) {
    std::vector<Cell> cells = cellsOf(text);
    return !cells.empty() &&
           std::all_of(cells.begin(), cells.end(), [&](const Cell& cell) { return cell.fg == fg; });
  }

  // The cursor's line as the status line says it ("Line L/N"), or -1.
  int statusLine() {
    std::vector<std::string> rows = pane.rows();
    std::size_t at = rows.empty() ? std::string::npos : rows[0].find("Line ");
    if (at == std::string::npos || !std::isdigit(static_cast<unsigned char>(rows[0][at + 5])))
      return -1;
    return std::stoi(rows[0].substr(at + 5));
  }

  bool waitForStatusLine(int line) {
    return pane.waitUntil([&] { return statusLine() == line; });
  }

  // The terminal is as it was before the program: normal screen, cursor
  // shown, no mouse reporting, the title from before; nothing left in TMPDIR.
  void expectRestored() {
    EXPECT_EQ(pane.format("alternate #{alternate_on} cursor #{cursor_flag} mouse #{mouse_any_flag}"
                          "#{mouse_button_flag}#{mouse_standard_flag}"),
              "alternate 0 cursor 1 mouse 000");
    EXPECT_EQ(pane.format("#{pane_title}"), orbis::testing::TitleBeforeStart);
    EXPECT_EQ(pane.temporaryFilesLeft(), 0);
  }

  ScratchFolder folder;
  TmuxPane pane{folder.path()};
};

// One visit that uses everything the viewer offers, in the order a person
// would: the page appears, a link lights up under the cursor and the
// pointer, Enter and a click follow it, Backspace comes back to the same
// line, F11 switches the page's colours off and on, F7 finds text, the
// screen follows the terminal's size, and F10 leaves.
TEST_F(ViewerTest, ATourOfTheViewer) {
  Launch launch;
  launch.arguments = {writeTourPages()};
  ASSERT_TRUE(start(launch));
  ASSERT_TRUE(pane.waitForText("Top of the tour")) << pane.screen();
  EXPECT_NE(pane.rows().front().find("Tour"), std::string::npos) << pane.screen();
  EXPECT_NE(pane.rows().back().find("Quit"), std::string::npos) << pane.screen();
  EXPECT_EQ(rowOf("Top of the tour"), 1);
  EXPECT_EQ(pane.format("#{alternate_on} #{pane_title}"), "1 Orbisline - Far");
  // The terminal's own background is never relied on.
  for (const ScreenRow& row : pane.cells()) {
    for (const Cell& cell : row) ASSERT_NE(cell.bg, -1) << pane.screen();
  }
  EXPECT_TRUE(textHasColour("second page", LinkColour));

  // The cursor onto the link: it lights up and the title names its target.
  pane.keys({"Down"});
  ASSERT_TRUE(pane.waitUntil([&] { return textHasColour("second page", LitLinkColour); }))
      << pane.screen();
  EXPECT_EQ(pane.format("#{pane_title}"), "b.html");
  ASSERT_TRUE(waitForStatusLine(2)) << pane.screen();

  // Enter follows it; Backspace comes back to the line that was left.
  pane.keys({"Enter"});
  ASSERT_TRUE(pane.waitForText("This is the second page.")) << pane.screen();
  EXPECT_NE(pane.rows().front().find("Page B"), std::string::npos) << pane.screen();
  pane.keys({"BSpace"});
  ASSERT_TRUE(waitForStatusLine(2)) << pane.screen();
  EXPECT_NE(pane.screen().find("second page"), std::string::npos) << pane.screen();

  // The pointer lights the link up wherever the cursor is; a click follows it.
  pane.keys({"Up"});
  ASSERT_TRUE(pane.waitUntil([&] { return textHasColour("second page", LinkColour); }));
  int linkRow = rowOf("second page");
  pane.mouseMove(3, linkRow);
  ASSERT_TRUE(pane.waitUntil([&] { return textHasColour("second page", LitLinkColour); }))
      << pane.screen();
  pane.mouseClick(3, linkRow);
  ASSERT_TRUE(pane.waitForText("This is the second page.")) << pane.screen();
  pane.keys({"BSpace"});
  ASSERT_TRUE(waitForStatusLine(2)) << pane.screen();

  // F11: the plug-in menu, then the page's menu, switches the page's own
  // colours off, and on again.
  const std::vector<Cell> pageColours = cellsOf("filler line 3");
  ASSERT_FALSE(pageColours.empty()) << pane.screen();
  auto inPageColours = [&] {
    std::vector<Cell> cells = cellsOf("filler line 3");
    return !cells.empty() && cells[0].fg == pageColours[0].fg && cells[0].bg == pageColours[0].bg;
  };
  for (const char* item : {"Turn off document colors", "Turn on document colors"}) {
    pane.keys({"F11"});
    ASSERT_TRUE(pane.waitForText("Orbisline")) << pane.screen();
    pane.keys({"Enter"});
    ASSERT_TRUE(pane.waitForText(item)) << pane.screen();
    pane.keys({"Enter"});
    bool on = std::string(item).find(" on ") != std::string::npos;
    ASSERT_TRUE(pane.waitUntil([&] {
      return pane.screen().find(item) == std::string::npos && inPageColours() == on;
    })) << item
        << "\n"
        << pane.screen();
  }

  // F7 finds text without regard to case, after the cursor; Shift+F7 the next.
  pane.keys({"F7"});
  pane.type("needle");
  pane.keys({"Enter"});
  ASSERT_TRUE(waitForStatusLine(41)) << pane.screen();
  pane.keys({"S-F7"});
  ASSERT_TRUE(waitForStatusLine(61)) << pane.screen();

  // A larger terminal: the screen is redrawn at its size at once.
  pane.resize(100, 30);
  ASSERT_TRUE(pane.waitUntil([&] {
    std::vector<std::string> rows = pane.rows();
    return rows.size() == 30 && rows.back().find("Quit") != std::string::npos;
  })) << pane.screen();
  EXPECT_NE(pane.screen().find("a NeEdLe on line 60"), std::string::npos) << pane.screen();

  pane.keys({"F10"});
  EXPECT_EQ(pane.waitForExit(), 0);
  expectRestored();
  EXPECT_EQ(pane.stderrText(), "");
}

enum class Source { File, Folder, Pipe };
enum class Way { Key, Signal, ClosePane };

// Every way out, from each kind of argument: the viewer ends with the
// status that says how (0, or death by the signal), the terminal restored
// and nothing left in TMPDIR.
TEST_F(ViewerTest, EveryWayOutRestoresTheTerminal) {
  struct Case {
    const char* name;
    Source source;
    Way way;
    std::string key;
    int signal;
    int status;
  };
  const Case cases[] = {
      {"F10 on a file", Source::File, Way::Key, "F10", 0, 0},
      {"q on a page from a pipe", Source::Pipe, Way::Key, "q", 0, 0},
      {"Esc on a folder's index", Source::Folder, Way::Key, "Escape", 0, 0},
      {"Ctrl-C", Source::File, Way::Key, "C-c", 0, 128 + SIGINT},
      {"SIGTERM", Source::Pipe, Way::Signal, "", SIGTERM, 128 + SIGTERM},
      {"a closed terminal", Source::File, Way::ClosePane, "", 0, 128 + SIGHUP},
  };
  std::string page = writePage("site/index.html", std::string("<title>Ways out</title>") +
                                                      PageColours + "first line<br>second line");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchFolder scratch;
    TmuxPane run(scratch.path());
    Launch launch;
    if (c.source == Source::File) launch.arguments = {page};
    if (c.source == Source::Folder) launch.arguments = {(folder.path() / "site").string()};
    if (c.source == Source::Pipe) {
      launch.arguments = {"-"};
      launch.standardInput = page;
    }
    ASSERT_TRUE(run.start(launch)) << run.lastError();
    ASSERT_TRUE(run.waitForText("first line")) << run.screen();
    // The keys come from the terminal even when the page came from a pipe.
    run.keys({"Down"});
    ASSERT_TRUE(run.waitUntil([&] { return run.rows()[0].find("Line 2/") != std::string::npos; }))
        << run.screen();
    if (c.way == Way::Key) run.keys({c.key});
    if (c.way == Way::Signal) {
      EXPECT_TRUE(run.signalProgram(c.signal));
    }
    if (c.way == Way::ClosePane) run.closePane();
    EXPECT_EQ(run.waitForExit(), c.status);
    EXPECT_EQ(run.temporaryFilesLeft(), 0);
    if (c.way == Way::ClosePane) continue;
    EXPECT_EQ(run.format("#{alternate_on} #{cursor_flag} #{mouse_any_flag} #{pane_title}"),
              std::string("0 1 0 ") + orbis::testing::TitleBeforeStart);
    EXPECT_EQ(run.stderrText(), "");
  }
}

// A file the viewer will not show: one line on the terminal that says why,
// status 1, and not a single escape sequence: no screen was ever started.
TEST_F(ViewerTest, ARefusedFileDrawsNoScreen) {
  struct Case {
    std::string file;
    std::string reason;
  };
  const Case cases[] = {
      {writePage("notes.txt", "<p>text"), "notes.txt"},
      {(folder.path() / "missing.html").string(), "missing.html"},
      {writePage("empty.html", ""), "empty.html"},
      {(folder.path() / "no-index").string(), "no-index"},
  };
  std::filesystem::create_directory(folder.path() / "no-index");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ScratchFolder scratch;
    TmuxPane run(scratch.path());
    Launch launch;
    launch.arguments = {c.file};
    launch.stderrToPane = true;
    launch.captureStream = true;
    ASSERT_TRUE(run.start(launch)) << run.lastError();
    EXPECT_EQ(run.waitForExit(), 1);
    std::string stream = run.outputStream();
    // What the harness itself wrote first: the title from before.
    std::string before = std::string("\x1b]2;") + orbis::testing::TitleBeforeStart + "\x1b\\";
    ASSERT_EQ(stream.rfind(before, 0), 0u) << stream;
    std::string said = stream.substr(before.size());
    EXPECT_EQ(said.rfind("orbisline: ", 0), 0u) << said;
    EXPECT_NE(said.find(c.reason), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
    EXPECT_EQ(said.find('\x1b'), std::string::npos) << said;
    EXPECT_EQ(run.temporaryFilesLeft(), 0);
  }
}

// A terminal with 8 colours: bright foregrounds are bold, no colour beyond
// the eight is asked for, and every cell has a background of its own.
TEST_F(ViewerTest, EightColourTerminalShowsBrightTextAsBold) {
  Launch launch;
  launch.terminal = "screen";
  launch.arguments = {writePage("eight.html",
                                "<title>Eight</title>"
                                "<body bgcolor=#000080 text=#ffff00>bright text<br>"
                                "<font color=#800000>dark red</font>")};
  ASSERT_TRUE(start(launch));
  ASSERT_TRUE(pane.waitForText("bright text")) << pane.screen();
  for (const Cell& cell : cellsOf("bright text")) {
    EXPECT_EQ(cell.fg, terminalColour(6));
    EXPECT_TRUE(cell.bold);
    EXPECT_EQ(cell.bg, terminalColour(1));
  }
  for (const Cell& cell : cellsOf("dark red")) {
    EXPECT_EQ(cell.fg, terminalColour(4));
    EXPECT_FALSE(cell.bold);
  }
  for (const ScreenRow& row : pane.cells()) {
    for (const Cell& cell : row) {
      ASSERT_TRUE(cell.bg >= 0 && cell.bg < 8 && cell.fg >= 0 && cell.fg < 8) << pane.screen();
    }
  }
  pane.keys({"q"});
  EXPECT_EQ(pane.waitForExit(), 0);
  expectRestored();
}

}  // namespace
}  // namespace orbis
