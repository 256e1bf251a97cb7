// What the terminal host puts on the screen, before ncurses sends it: the
// editor's rows with the plug-in's colours, the host's boxes, the colours a
// terminal gets, and that no byte of a page or a title is a control there.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "console_host/model_editor.h"
#include "platform/scoped_environment.h"
#include "terminal_host/curses_colors.h"
#include "terminal_host/editor_view.h"
#include "terminal_host/framed_box.h"
#include "terminal_host/host_text.h"

namespace orbis::terminal {
namespace {

std::u32string rowText(const CellGrid& grid, int row) {
  std::u32string text;
  for (const Cell& cell : grid.row(row)) text += cell.character;
  return text;
}

std::string ascii(const std::u32string& text) {
  std::string out;
  for (char32_t c : text) out += c < 0x80 ? static_cast<char>(c) : '#';
  return out;
}

class EditorViewTest : public ::testing::Test {
protected:
  std::unique_ptr<console::ModelEditor> openEditor(const std::string& text, int columns, int rows) {
    std::string path = (folder.path() / "page.txt").string();
    std::ofstream(path, std::ios::binary) << text;
    auto editor = std::make_unique<console::ModelEditor>(1, path, columns, rows - 2);
    std::string error;
    EXPECT_TRUE(editor->open(0, error)) << error;
    return editor;
  }

  orbis::testing::ScratchFolder folder;
  HostColors colors;
};

TEST_F(EditorViewTest, RowsShowTheTextInTheColoursOfTheRedraw) {
  auto opened = openEditor("plain link tail\nsecond\nthird\n", 80, 5);
  console::ModelEditor& editor = *opened;
  editor.setPosition({1, 3, -1, -1, -1, -1});
  CellGrid grid(80, 5, 0);
  // Later colours cover earlier ones; a colour past the window is cut;
  // lines off the screen are not painted.
  const EditorColor sent[] = {
      {0, 0, 0, 19, 0x70},  {0, 0, 6, 9, 0x1E}, {0, 0, 6, 7, 0x4F},
      {1, 0, 2, 500, 0x20}, {7, 0, 0, 5, 0x30},
  };
  drawEditor(grid, editor, sent, "Title", colors, KeyBarLine{});
  EXPECT_EQ(ascii(rowText(grid, 1)), "plain link tail" + std::string(65, ' '));
  const uint8_t expected[] = {0x70, 0x70, 0x70, 0x70, 0x70, 0x70, 0x4F, 0x4F, 0x1E, 0x1E, 0x70};
  for (int column = 0; column < 11; ++column) {
    EXPECT_EQ(grid.at(column, 1).attr, expected[column]) << column;
  }
  EXPECT_EQ(grid.at(1, 2).attr, colors.editor);
  EXPECT_EQ(grid.at(79, 2).attr, 0x20);
  EXPECT_EQ(grid.at(0, 3).attr, colors.editor);
  // The status line names the title and where the cursor is; the key bar
  // the keys that work.
  std::string status = ascii(rowText(grid, 0));
  EXPECT_EQ(status.rfind(" Title ", 0), 0u) << status;
  EXPECT_NE(status.find(" Line 2/4 Col 4 33% "), std::string::npos) << status;
  EXPECT_EQ(grid.at(0, 0).attr, colors.status);
  std::string keyBar = ascii(rowText(grid, 4));
  for (const char* key : {"1Help", "7Search", "n/NNext", "Spc/bPage", "10Quit", "11Plug-ins"}) {
    EXPECT_NE(keyBar.find(key), std::string::npos) << keyBar;
  }
  int column = 0;
  int row = 0;
  editorCursor(grid, editor, KeyBarLine{}, column, row);
  EXPECT_EQ(column, 3);
  EXPECT_EQ(row, 2);
}

TEST_F(EditorViewTest, ControlBytesOfThePageShowAsPictures) {
  // ESC [ 2 J, BEL, a C1 control (a hole of the page) and DEL; e with
  // acute is a character, and so is 0x9B here (a C1 control in Latin-1).
  auto editor = openEditor("\x1B[2J\x07\x81\x7F\xE9\t!\x9B", 40, 4);
  CellGrid grid(40, 4, 0);
  drawEditor(grid, *editor, {}, "T\x1B]0;x\x07", colors, KeyBarLine{});
  const char32_t expected[] = {0x241B, U'[', U'2',   U'J', 0x2407, 0xFFFD,
                               0x2421, 0xE9, 0x2409, U'!', 0x203A};
  for (int column = 0; column < 11; ++column) {
    EXPECT_EQ(grid.at(column, 1).character, expected[column]) << column;
  }
  // The title's controls too.
  EXPECT_EQ(grid.at(2, 0).character, char32_t{0x241B});
  for (int row = 0; row < grid.rows(); ++row) {
    for (const Cell& cell : grid.row(row)) {
      EXPECT_FALSE(cell.character < 0x20 || (cell.character >= 0x7F && cell.character < 0xA0))
          << row;
    }
  }
}

// The window title goes to the terminal itself: controls are left out.
TEST(WindowTitleTest, ControlsAreLeftOut) {
  EXPECT_EQ(windowTitle("a\x1B]2;evil\x07z", true, 100), "a]2;evilz");
  EXPECT_EQ(windowTitle("\x9B\x31m\x7F\x0D\x81x", true, 100),
            "\xE2\x80\xBA"
            "1mx");
  // The page's em dash and letters, as UTF-8, or '?' without it.
  EXPECT_EQ(windowTitle("\x97 caf\xE9", true, 100), "\xE2\x80\x94 caf\xC3\xA9");
  EXPECT_EQ(windowTitle("\x97\xE9ok", false, 100), "??ok");
  EXPECT_EQ(windowTitle("abcdef", true, 4), "abcd");
}

TEST(CursesColorsTest, ConsoleColoursKeepTheirMeaning) {
  struct Case {
    uint8_t attr;
    int colors;
    CursesStyle style;
  };
  // Console bits: 1 blue, 2 green, 4 red, 8 bright. Terminal: 1 red, 4 blue.
  const Case cases[] = {
      {0x1B, 256, {14, 4, false, false}},  // bright cyan on blue
      {0x1B, 16, {14, 4, false, false}},
      {0x1B, 8, {6, 4, true, false}},  // bright by bold
      {0x9C, 8, {1, 4, true, false}},  // a bright background is the plain one
      {0x4E, 8, {3, 1, true, false}},  // yellow on red
      {0x07, 8, {7, 0, false, false}},
      {0x70, 0, {7, 0, false, true}},  // no colours: dark on light in reverse
      {0x1F, 0, {7, 0, true, false}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cursesStyle(c.attr, c.colors), c.style) << std::hex << int{c.attr} << " " << c.colors;
  }
}

TEST(FramedBoxTest, ChoicesByLetterAndByPlace) {
  BoxContent content;
  content.title = U"Warning";
  content.lines = {U"Oops! Time Out ... please report about"};
  content.choices = {U"Resume", U"Terminate"};
  FramedBox buttons(content, BoxColors{});
  CellGrid grid(80, 25, 0x07);
  buttons.draw(grid, 1);
  EXPECT_EQ(buttons.choiceForLetter(U'r'), 0);
  EXPECT_EQ(buttons.choiceForLetter(U'T'), 1);
  EXPECT_EQ(buttons.choiceForLetter(U'x'), -1);
  // The buttons sit on one row under the text, centred.
  int row = -1;
  for (int r = 0; r < grid.rows(); ++r) {
    if (ascii(rowText(grid, r)).find("[ Resume ] [ Terminate ]") != std::string::npos) row = r;
  }
  ASSERT_GE(row, 0);
  int resume = static_cast<int>(ascii(rowText(grid, row)).find("[ Resume ]"));
  EXPECT_EQ(buttons.choiceAt(resume, row), 0);
  EXPECT_EQ(buttons.choiceAt(resume + 11, row), 1);
  EXPECT_EQ(buttons.choiceAt(resume - 1, row), -1);
  EXPECT_EQ(grid.at(resume + 11, row).attr, BoxColors{}.chosenButton);

  // Menu items: '&' marks the hot letter and is not shown.
  BoxContent menuContent;
  menuContent.choicesInRow = false;
  menuContent.choices = {U"&Back to: Page B", U"&Turn off document colors"};
  FramedBox menu(menuContent, BoxColors{});
  CellGrid menuGrid(80, 25, 0x07);
  menu.draw(menuGrid, 0);
  EXPECT_EQ(menu.choiceForLetter(U't'), 1);
  EXPECT_EQ(menu.choiceForLetter(U'B'), 0);
  int back = -1;
  for (int r = 0; r < menuGrid.rows(); ++r) {
    std::string text = ascii(rowText(menuGrid, r));
    EXPECT_EQ(text.find('&'), std::string::npos);
    if (text.find("Back to: Page B") != std::string::npos) back = r;
  }
  ASSERT_GE(back, 0);
  EXPECT_EQ(menu.choiceAt(40, back), 0);
  EXPECT_EQ(menu.choiceAt(40, back + 1), 1);
}

}  // namespace
}  // namespace orbis::terminal
