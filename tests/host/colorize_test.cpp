// The colours of a redraw, through ProcessEditorEvent(EE_REDRAW): each run
// in the page's colours or the settings', the link at the saved cursor in
// the active colours on every line of the screen, the rest of the screen in
// the page's background when it differs from the editor's (the built-in
// palette's editor colour is 0x1B, which page A uses), and the console title.
#include <string>
#include <vector>

#include "host/plugin_fixture.h"

namespace orbis::testing {
namespace {

// Page D: link "first" to C at 0-4, " plain " 5-11, link "a link" to B at
// 12-17; line 1 empty; "More" at 0-3 on line 2, the last rendered line.
constexpr const char* PageD =
    "<title>D</title><body bgcolor=black text=white link=yellow alink=lime>"
    "<p><a href=\"c.htm\">first</a> plain <a href=\"b.htm\">a link</a><p><p>More";
// Silver, black, blue and red, without the built-in names.
constexpr const char* PlainSettings =
    "<Orbisline><Default doccl=0 bgcolor=#808080 text=#0 link=#FF alink=#FF0000></Orbisline>";

class ColorizeTest : public PluginTest {
protected:
  // Every colour lies on the screen, within the window's width.
  void expectColorsOnTheScreen() const {
    for (const EditorColor& color : host.colors) {
      EXPECT_GE(color.StringNumber, host.editor.top);
      EXPECT_LT(color.StringNumber, host.editor.top + host.editor.height);
      EXPECT_LE(0, color.StartPos);
      EXPECT_LE(color.StartPos, color.EndPos);
      EXPECT_LT(color.EndPos, host.editor.width);
      EXPECT_EQ(color.ColorItem, 0);
    }
  }
};

TEST_F(ColorizeTest, RunsAndLineEndsTakeThePagesOrTheSettingsColours) {
  struct Probe {
    int line;
    int column;
    int attribute;  // -1: not sent, the editor's own
  };
  // Page A is in the editor's colours: only its links cost calls.
  const std::vector<Probe> pageA = {
      {0, 0, -1},    {0, 5, -1},    {0, 6, 0x1A}, {0, 12, 0x1A}, {0, 13, -1}, {0, 16, 0x1E},
      {2, 13, 0x1E}, {3, 32, 0x1E}, {3, 33, -1},  {0, 79, -1},   {22, 0, -1},
  };
  const std::vector<Probe> pageAInSettingsColors = {
      {0, 0, 0x70},  {0, 6, 0x7C},  {0, 12, 0x7C}, {0, 16, 0x79},
      {0, 47, 0x70}, {0, 79, 0x70}, {1, 0, 0x70},  {22, 79, 0x70},
  };
  const std::vector<Probe> pageD = {
      {0, 0, 0x0E},  {0, 4, 0x0E},  {0, 5, 0x0F},  {0, 11, 0x0F},  {0, 12, 0x0A}, {0, 17, 0x0A},
      {0, 18, 0x0F}, {0, 79, 0x0F}, {0, 80, -1},   {1, 0, 0x0F},   {1, 79, 0x0F}, {2, 3, 0x0F},
      {2, 4, 0x0F},  {3, 0, 0x0F},  {22, 0, 0x0F}, {22, 79, 0x0F}, {23, 0, -1},
  };
  const std::vector<Probe> pageDInSettingsColors = {
      {0, 0, 0x7C}, {0, 5, 0x70}, {0, 12, 0x79},  {0, 18, 0x70},
      {1, 0, 0x70}, {2, 0, 0x70}, {22, 79, 0x70},
  };
  struct Case {
    const char* name;
    bool pageD;
    bool documentColors;
    int line;  // the saved cursor
    int column;
    const std::vector<Probe>& probes;
    std::size_t calls;  // 0: not counted
  };
  // Page D's calls: on line 0 three runs and a fill, on line 1 a fill, on
  // line 2 a run and a fill, and a fill on each of the 20 lines below.
  const Case cases[] = {
      {"A", false, true, 0, 8, pageA, 9},
      {"A, settings' colours", false, false, 0, 8, pageAInSettingsColors, 0},
      {"D", true, true, 0, 14, pageD, 4 + 1 + 2 + 20},
      {"D, settings' colours", true, false, 0, 2, pageDInSettingsColors, 0},
  };
  for (const Case& c : cases) {
    restartWithSettings(c.documentColors ? "" : PlainSettings);
    host.inEditor = {[&] {
      aim(c.line, c.column);
      host.redraw();
      for (const Probe& p : c.probes) {
        EXPECT_EQ(host.colorAt(p.line, p.column), p.attribute)
            << c.name << " at " << p.line << "," << p.column;
      }
      if (c.calls != 0) {
        EXPECT_EQ(host.colors.size(), c.calls) << c.name;
      }
      expectColorsOnTheScreen();
    }};
    host.editorsOpened = 0;
    open(c.pageD ? page("d.htm", PageD) : siteA);
  }
}

// All pieces of the link at the saved cursor light up, on whichever screen
// line they lie, and only the lines of the screen are painted.
TEST_F(ColorizeTest, TheActiveLinkLightsAllItsPiecesOnTheScreen) {
  host.inEditor = {[&] {
    aim(3, 5);
    host.redraw();
    for (auto [line, column] : {std::pair{2, 13}, {2, 74}, {3, 0}, {3, 32}}) {
      EXPECT_EQ(host.colorAt(line, column), 0x1A) << line << "," << column;
    }
    EXPECT_EQ(host.colorAt(0, 8), 0x1E);
    EXPECT_EQ(host.titles.back(), "c.htm#part");

    host.editor.top = 3;
    host.editor.height = 10;
    host.redraw();
    EXPECT_EQ(host.colorAt(3, 0), 0x1A);
    EXPECT_EQ(host.colorAt(5, 4), 0x1E);
    EXPECT_EQ(host.colorAt(2, 13), -1);
    expectColorsOnTheScreen();
    host.editor.height = 23;
  }};
  open(siteA);
}

// The title is the active link's target, decoded; with no active link on
// the screen, the viewer's own (a link above the screen is not active; one
// with a piece on the screen is).
TEST_F(ColorizeTest, TheConsoleTitleFollowsTheActiveLink) {
  struct Case {
    int line;
    int column;
    int top;
    const char* title;
  };
  const Case cases[] = {
      {0, 42, 0, "my page x.htm"},   {0, 6, 0, "b.htm"},
      {0, 12, 0, "b.htm"},           {0, 13, 0, "Orbisline - Far"},
      {10, 0, 0, "Orbisline - Far"}, {0, 8, 1, "Orbisline - Far"},
      {2, 20, 3, "c.htm#part"},
  };
  host.inEditor = {[&] {
    for (const Case& c : cases) {
      aim(c.line, c.column, c.top);
      std::size_t before = host.titles.size();
      host.redraw();
      EXPECT_EQ(host.titles.size(), before + 1) << c.title;
      EXPECT_EQ(host.titles.back(), c.title);
    }
  }};
  open(siteA);
}

// The target goes through the character table the host detects for it,
// and is decoded as a URL after that.
TEST_F(ColorizeTest, TheConsoleTitleIsConvertedThenDecoded) {
  host.convertsText = true;
  host.inEditor = {[&] {
    aim(0, 1);
    host.redraw();
  }};
  open(page("t.htm", "<a href='b%e9+c\xE9.htm'>link</a>"));
  // The byte the page holds goes through the table; the escaped one is
  // made after it.
  EXPECT_EQ(host.titles.back(), "B\xE9 C?.HTM");
}

}  // namespace
}  // namespace orbis::testing
