// The viewer in a real terminal, driven as a person drives it: keys and the
// mouse go in through tmux, and what the pane shows, the colours of its
// cells and the terminal's modes come back out. Every way out must leave the
// terminal as it was (normal screen, cursor shown, no mouse reporting, the
// title from before) and no temporary file behind.
#include <signal.h>

#include <string>
#include <vector>

#include "viewer_fixture.h"

namespace orbis {
namespace {

using orbis::testing::Cell;
using orbis::testing::Launch;
using orbis::testing::LinkColour;
using orbis::testing::LitLinkColour;
using orbis::testing::PageColours;
using orbis::testing::ScratchFolder;
using orbis::testing::ScreenRow;
using orbis::testing::terminalColour;
using orbis::testing::TmuxPane;
using orbis::testing::ViewerTest;

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
  // The title in the page's own characters.
  EXPECT_NE(pane.rows().front().find("Tour \u2014 the viewer"), std::string::npos) << pane.screen();
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
  // The title may reach tmux a moment after the cells.
  EXPECT_TRUE(pane.waitUntil([&] { return pane.format("#{pane_title}") == "b.html"; }))
      << pane.format("#{pane_title}");
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

  // F11: with one plug-in loaded, its menu at once, which switches the
  // page's own colours off, and on again.
  const std::vector<Cell> pageColours = cellsOf("filler line 3");
  ASSERT_FALSE(pageColours.empty()) << pane.screen();
  auto inPageColours = [&] {
    std::vector<Cell> cells = cellsOf("filler line 3");
    return !cells.empty() && cells[0].fg == pageColours[0].fg && cells[0].bg == pageColours[0].bg;
  };
  for (const char* item : {"Turn off document colors", "Turn on document colors"}) {
    pane.keys({"F11"});
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
    EXPECT_EQ(run.format("#{alternate_on} #{cursor_flag} #{mouse_any_flag}#{mouse_sgr_flag} "
                         "#{pane_title}"),
              std::string("0 1 00 ") + orbis::testing::TitleBeforeStart);
    EXPECT_EQ(run.stderrText(), "");
  }
}

// A file the viewer will not show, or a terminal it cannot use: one line on
// the terminal that says why, status 1, and not a single escape sequence:
// no screen was ever started.
TEST_F(ViewerTest, ARefusedFileDrawsNoScreen) {
  struct Case {
    std::string file;
    std::string reason;
    std::vector<std::pair<std::string, std::string>> environment{};
  };
  std::string page = writePage("page.html", "<p>text");
  const Case cases[] = {
      {writePage("notes.txt", "<p>text"), "notes.txt"},
      {(folder.path() / "missing.html").string(), "missing.html"},
      {writePage("empty.html", ""), "empty.html"},
      {(folder.path() / "no-index").string(), "no-index"},
      // Terminals that cannot place the cursor: one without, one unknown.
      {page,
       ": cannot show the viewer on this terminal (TERM=dumb); use --dump",
       {{"TERM", "dumb"}}},
      {page, "(TERM=no-such-terminal); use --dump", {{"TERM", "no-such-terminal"}}},
  };
  std::filesystem::create_directory(folder.path() / "no-index");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ScratchFolder scratch;
    TmuxPane run(scratch.path());
    Launch launch;
    launch.arguments = {c.file};
    launch.environment = c.environment;
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
