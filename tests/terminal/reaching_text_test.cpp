// Reaching every part of a page in a real terminal: the keys of pagers,
// search round the text both ways, lines wider than the screen, the mouse
// past the 223rd column, and a file-size limit met while following a link.
#include <string>

#include "viewer_fixture.h"

namespace orbis {
namespace {

using orbis::testing::Launch;
using orbis::testing::LinkColour;
using orbis::testing::LitLinkColour;
using orbis::testing::PageColours;
using orbis::testing::ViewerTest;

class ReachingTextTest : public ViewerTest {
protected:
  bool bottomRowShows(const std::string& text) {
    std::vector<std::string> rows = pane.rows();
    return !rows.empty() && rows.back().find(text) != std::string::npos;
  }
};

// A pager's keys do what they do in a pager; the search goes on round the
// text and says so on the bottom row; help lists the keys.
TEST_F(ReachingTextTest, PagerKeysAndSearchRoundTheText) {
  Launch launch;
  launch.arguments = {writeTourPages()};
  ASSERT_TRUE(start(launch));
  ASSERT_TRUE(waitForStatusLine(1)) << pane.screen();
  struct Step {
    std::string key;
    int line;            // the status line's, from 1; 0: beyond the tour's 80 lines
    std::string bottom;  // what the bottom row then shows
  };
  const Step steps[] = {
      {"Space", 24, "Quit"},  // a screen of 23 rows
      {"b", 1, "Quit"},
      {"j", 2, "Quit"},
      {"k", 1, "Quit"},
      {"G", 0, "Quit"},
      {"g", 1, "Quit"},
      {"/", 1, "Search for: "},
      {"needle", 41, "Quit"},  // typed, then Enter
      {"n", 61, "Quit"},
      {"n", 41, "Search wrapped to the top"},
      {"N", 61, "Search wrapped to the end"},
      {"N", 41, "Quit"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.key);
    if (step.key == "needle") {
      pane.type(step.key);
      pane.keys({"Enter"});
    } else {
      pane.keys({step.key});
    }
    ASSERT_TRUE(pane.waitUntil([&] {
      int line = statusLine();
      return (step.line == 0 ? line > 80 : line == step.line) && bottomRowShows(step.bottom);
    })) << pane.screen();
  }
  pane.keys({"F1"});
  ASSERT_TRUE(pane.waitForText("Help")) << pane.screen();
  for (const char* line : {"PgUp, PgDn", "b, Space", "Shift+F7, Alt+F7", "n, N"}) {
    EXPECT_NE(pane.screen().find(line), std::string::npos) << line << "\n" << pane.screen();
  }
  pane.keys({"Escape"});
  ASSERT_TRUE(pane.waitUntil([&] { return pane.screen().find("b, Space") == std::string::npos; }));
  pane.keys({"q"});
  EXPECT_EQ(pane.waitForExit(), 0);
  expectRestored();
}

// A line wider than the screen scrolls sideways with the cursor: a search
// and End show its end, Home its start; the page's colours stay on their
// text, and the status line counts text columns.
TEST_F(ReachingTextTest, LongLinesScrollSideways) {
  Launch launch;
  launch.arguments = {writePage("wide.html", std::string("<title>Wide</title>") + PageColours +
                                                 "<pre>" + std::string(75, 'x') +
                                                 "<a href=b.html>LINK!</a>" + std::string(20, 'y') +
                                                 "END</pre>second line")};
  ASSERT_TRUE(start(launch));
  ASSERT_TRUE(pane.waitForText("xxxxx")) << pane.screen();
  EXPECT_TRUE(textHasColour("LINK!", LinkColour)) << pane.screen();
  EXPECT_EQ(pane.screen().find("END"), std::string::npos) << pane.screen();
  auto shows = [&](const std::string& status, const std::string& text) {
    return pane.waitUntil([&] {
      std::vector<std::string> rows = pane.rows();
      return !rows.empty() && rows[0].find(status) != std::string::npos &&
             pane.screen().find(text) != std::string::npos;
    });
  };
  pane.keys({"/"});
  pane.type("end");
  pane.keys({"Enter"});
  // The cursor on the place found, all of the place in sight.
  ASSERT_TRUE(shows("Col 101 ", "yyyEND\n")) << pane.screen();
  EXPECT_TRUE(textHasColour("LINK!", LinkColour)) << pane.screen();
  int row = rowOf("yyyEND");
  EXPECT_EQ(pane.rows()[static_cast<std::size_t>(row)].find("LINK!"), 75u - 23u) << pane.screen();
  pane.keys({"End"});
  ASSERT_TRUE(shows("Col 104 ", "yyyEND ")) << pane.screen();
  pane.keys({"Home"});
  ASSERT_TRUE(shows("Col 1 ", "\nxxxxx")) << pane.screen();
  EXPECT_EQ(pane.screen().find("END"), std::string::npos) << pane.screen();
  pane.keys({"q"});
  EXPECT_EQ(pane.waitForExit(), 0);
  expectRestored();
}

// tmux's own terminal type tells of the classic mouse reports only, which
// end at column 223: the viewer asks for the SGR form anyway.
TEST_F(ReachingTextTest, MouseReachesPastColumn223) {
  writePage("b.html", "This is the second page.");
  Launch launch;
  launch.width = 260;
  launch.arguments = {writePage("far.html", std::string("<title>Far</title>") + PageColours +
                                                "<pre>" + std::string(230, ' ') +
                                                "<a href=b.html>far link</a></pre>")};
  ASSERT_TRUE(start(launch));
  ASSERT_TRUE(pane.waitForText("far link")) << pane.screen();
  EXPECT_EQ(pane.format("#{mouse_sgr_flag}"), "1");
  int row = rowOf("far link");
  int column = static_cast<int>(pane.rows()[static_cast<std::size_t>(row)].find("far link")) + 4;
  ASSERT_GT(column, 223);
  pane.mouseMove(column, row);
  ASSERT_TRUE(pane.waitUntil([&] { return textHasColour("far link", LitLinkColour); }))
      << pane.screen();
  pane.mouseClick(column, row);
  ASSERT_TRUE(pane.waitForText("This is the second page.")) << pane.screen();
  pane.keys({"q"});
  EXPECT_EQ(pane.waitForExit(), 0);
  expectRestored();
}

// A page that outgrows the file-size limit is not shown: said in one line
// when it is the first, else the viewer goes on with the page it had.
// Either way the limit kills nothing, and the terminal comes back.
TEST_F(ReachingTextTest, FileSizeLimitKillsNothing) {
  std::string big;
  for (int i = 0; i < 3000; ++i) big += "<p>paragraph " + std::to_string(i);
  std::string bigPage = writePage("big.html", big);
  Launch launch;
  launch.fileSizeLimit = 64;
  launch.arguments = {writePage("small.html", std::string("<title>Small</title>") + PageColours +
                                                  "<a href=big.html>big page</a><br>next line")};
  ASSERT_TRUE(start(launch));
  ASSERT_TRUE(pane.waitForText("next line")) << pane.screen();
  pane.keys({"Enter", "Down"});
  ASSERT_TRUE(waitForStatusLine(2)) << pane.screen();
  EXPECT_NE(pane.screen().find("next line"), std::string::npos) << pane.screen();
  pane.keys({"q"});
  EXPECT_EQ(pane.waitForExit(), 0);
  expectRestored();

  orbis::testing::ScratchFolder scratch;
  orbis::testing::TmuxPane first(scratch.path());
  launch.arguments = {bigPage};
  ASSERT_TRUE(first.start(launch)) << first.lastError();
  EXPECT_EQ(first.waitForExit(), 1);
  std::string said = first.stderrText();
  // The reason is the system's own, with the file it could not write.
  EXPECT_EQ(said.rfind("orbisline: cannot write the temporary file ", 0), 0u) << said;
  EXPECT_NE(said.find(": File too large\n"), std::string::npos) << said;
  EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
  EXPECT_EQ(first.format("#{alternate_on} #{mouse_any_flag}"), "0 0");
  EXPECT_EQ(first.temporaryFilesLeft(), 0);
}

}  // namespace
}  // namespace orbis
