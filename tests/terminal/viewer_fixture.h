// The fixture of the tests that run the viewer in a tmux pane: a scratch
// folder for the pages, the pane, and ways to read the screen back (where
// a text is, in which colours, the status line's line number) and to check
// that the terminal was left as it was found.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/scoped_environment.h"
#include "tmux_pane.h"

namespace orbis::testing {

// A console colour (bit 0 blue, 1 green, 2 red, 3 bright) as the number of
// the terminal colour of the same meaning (bit 0 red, 1 green, 2 blue).
inline int terminalColour(int console) {
  return ((console & 1) << 2) | (console & 2) | ((console & 4) >> 2) | (console & 8);
}

// Black page, bright cyan links, a bright yellow link under the cursor.
inline const char* const PageColours =
    "<body bgcolor=#000000 text=#c0c0c0 link=#00ffff alink=#ffff00>";
inline const int LinkColour = terminalColour(11);
inline const int LitLinkColour = terminalColour(14);

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

  // The tour page: a title with an em dash, its link alone at the start of
  // line 1, "needle" on lines 40 and 60 (0-based), 80 lines in all.
  std::string writeTourPages() {
    writePage("b.html", std::string("<title>Page B</title>") + PageColours +
                            "This is the second page.<br><a href=tour.html>back</a>");
    std::string html = std::string("<title>Tour &mdash; the viewer</title>") + PageColours +
                       "Top of the tour<br>" + "<a href=b.html>second page</a> after the link<br>";
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
  // shown, no mouse reporting in any form, the title from before; nothing
  // left in TMPDIR.
  void expectRestored() {
    EXPECT_EQ(pane.format("alternate #{alternate_on} cursor #{cursor_flag} mouse #{mouse_any_flag}"
                          "#{mouse_button_flag}#{mouse_standard_flag}#{mouse_sgr_flag}"),
              "alternate 0 cursor 1 mouse 0000");
    EXPECT_EQ(pane.format("#{pane_title}"), orbis::testing::TitleBeforeStart);
    EXPECT_EQ(pane.temporaryFilesLeft(), 0);
  }

  ScratchFolder folder;
  TmuxPane pane{folder.path()};
};

}  // namespace orbis::testing
