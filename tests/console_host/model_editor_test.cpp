#include "console_host/model_editor.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/scoped_environment.h"

namespace orbis::console {
namespace {

using orbis::testing::ScratchFolder;

class ModelEditorTest : public ::testing::Test {
protected:
  // A file of lineCount lines: "line 0", "line 1", ... each ended by a line
  // feed, so the editor shows one more (empty) line.
  std::string writeLines(int lineCount) {
    std::string text;
    for (int i = 0; i < lineCount; ++i) text += "line " + std::to_string(i) + "\n";
    return write(text);
  }

  std::string write(const std::string& text) {
    std::string path = (folder.path() / "file.txt").string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  ScratchFolder folder;
};

TEST_F(ModelEditorTest, IndexesLinesOfTheMappedFile) {
  ModelEditor editor(1, write("one\r\ntwo\n\nlast"), 80, 10);
  std::string error;
  ASSERT_TRUE(editor.open(0, error)) << error;
  EXPECT_EQ(editor.lineCount(), 4);
  EXPECT_EQ(editor.line(0), "one");
  EXPECT_EQ(editor.line(1), "two");
  EXPECT_EQ(editor.line(2), "");
  EXPECT_EQ(editor.line(3), "last");
  EXPECT_EQ(editor.line(4), "");
  EXPECT_FALSE(editor.endsWithLineFeed());

  ModelEditor empty(2, write(""), 80, 10);
  ASSERT_TRUE(empty.open(5, error));
  EXPECT_EQ(empty.lineCount(), 1);
  EXPECT_EQ(empty.cursorLine(), 0);

  ModelEditor missing(3, (folder.path() / "none.txt").string(), 80, 10);
  EXPECT_FALSE(missing.open(0, error));
  EXPECT_FALSE(error.empty());
}

TEST_F(ModelEditorTest, OpensAtTheStartLineWithTheScreenFilled) {
  std::string path = writeLines(30);  // 31 lines
  struct Case {
    int32_t start;
    int32_t line;
    int32_t top;
  };
  const Case cases[] = {{0, 0, 0}, {5, 5, 5}, {21, 21, 21}, {25, 25, 21}, {99, 30, 21}, {-3, 0, 0}};
  for (const Case& c : cases) {
    ModelEditor editor(1, path, 80, 10);
    std::string error;
    ASSERT_TRUE(editor.open(c.start, error));
    EXPECT_EQ(editor.cursorLine(), c.line) << c.start;
    EXPECT_EQ(editor.cursorColumn(), 0);
    EXPECT_EQ(editor.topLine(), c.top) << c.start;
  }
}

TEST_F(ModelEditorTest, MovesAsATextEditorDoes) {
  std::string path = writeLines(30);  // 31 lines, the last one empty
  struct Step {
    uint16_t key;
    uint32_t state;
    int32_t line, column, top;
  };
  // Window of 10 rows.
  const Step steps[] = {
      {VK_UP, 0, 0, 0, 0},
      {VK_LEFT, 0, 0, 0, 0},
      {VK_RIGHT, 0, 0, 1, 0},
      {VK_END, 0, 0, 6, 0},
      {VK_RIGHT, 0, 0, 7, 0},
      {VK_DOWN, 0, 1, 7, 0},
      {VK_HOME, 0, 1, 0, 0},
      {VK_NEXT, 0, 11, 0, 10},
      {VK_UP, 0, 10, 0, 10},
      {VK_UP, 0, 9, 0, 9},
      {VK_NEXT, LEFT_CTRL_PRESSED, 19, 0, 19},
      {VK_NEXT, 0, 29, 0, 21},
      {VK_NEXT, 0, 30, 0, 21},
      {VK_DOWN, 0, 30, 0, 21},
      {VK_PRIOR, 0, 20, 0, 11},
      {VK_HOME, LEFT_CTRL_PRESSED, 0, 0, 0},
      {VK_END, RIGHT_CTRL_PRESSED, 30, 0, 21},
      {VK_UP, 0, 29, 0, 21},
      {VK_END, 0, 29, 7, 21},
      {VK_F11, 0, 29, 7, 21},
  };
  ModelEditor editor(1, path, 80, 10);
  std::string error;
  ASSERT_TRUE(editor.open(0, error));
  int index = 0;
  for (const Step& step : steps) {
    editor.moveByKey(step.key, step.state);
    EXPECT_EQ(editor.cursorLine(), step.line) << "step " << index;
    EXPECT_EQ(editor.cursorColumn(), step.column) << "step " << index;
    EXPECT_EQ(editor.topLine(), step.top) << "step " << index;
    ++index;
  }
}

TEST_F(ModelEditorTest, SetPositionClampsAndKeepsTheCursorOnScreen) {
  std::string path = writeLines(30);
  struct Case {
    EditorSetPosition position;
    int32_t line, column, top;
  };
  const Case cases[] = {
      {{12, 4, -1, 12, -1, -1}, 12, 4, 12},
      {{-1, -1, -1, -1, -1, -1}, 12, 4, 12},  // nothing changes
      {{25, -1, -1, 29, -1, -1}, 25, 4, 25},  // top moves back to the cursor
      {{3, 0, -1, 0, -1, -1}, 3, 0, 0},
      {{20, -1, -1, -1, -1, -1}, 20, 0, 11},  // least scroll down
      {{99, 2, -1, 99, -1, -1}, 30, 2, 30},   // both clamped into the file
      {{-1, -1, -1, 31 - 10 + 2, -1, -1}, 30, 2, 23},
  };
  ModelEditor editor(1, path, 80, 10);
  std::string error;
  ASSERT_TRUE(editor.open(0, error));
  for (const Case& c : cases) {
    editor.setPosition(c.position);
    EXPECT_EQ(editor.cursorLine(), c.line) << c.position.CurLine << " " << c.position.TopScreenLine;
    EXPECT_EQ(editor.cursorColumn(), c.column);
    EXPECT_EQ(editor.topLine(), c.top) << c.position.CurLine << " " << c.position.TopScreenLine;
  }
  EditorInfo info;
  editor.fillInfo(info);
  EXPECT_EQ(info.EditorID, 1);
  EXPECT_EQ(info.WindowSizeX, 80);
  EXPECT_EQ(info.WindowSizeY, 10);
  EXPECT_EQ(info.TotalLines, 31);
  EXPECT_EQ(info.CurLine, 30);
  EXPECT_EQ(info.TopScreenLine, 23);
  EXPECT_STREQ(info.FileName, path.c_str());
}

}  // namespace
}  // namespace orbis::console

namespace orbis::console {
namespace {

// Each search starts from a cursor put there with setPosition and gives
// the start of the match it finds, or nothing; past the end (or the start)
// it goes on from the other end of the text.
TEST_F(ModelEditorTest, SearchFindsTheNextOrPreviousPlaceRoundTheText) {
  // Line 3 has CR LF; line 4 has letters with accents in the ANSI page.
  ModelEditor editor(1, write("alpha beta\nBETA gamma\n\nbeTa\r\n\xC9t\xE9 \xE9T\xC9\nend"), 80, 3);
  std::string error;
  ASSERT_TRUE(editor.open(0, error)) << error;
  constexpr auto Forward = SearchDirection::Forward;
  constexpr auto Backward = SearchDirection::Backward;
  struct Case {
    int32_t line;
    int32_t column;
    std::string text;
    SearchDirection direction;
    int32_t foundLine;  // -1: none
    int32_t foundColumn;
    bool wrapped;
  };
  const Case cases[] = {
      {0, 0, "beta", Forward, 0, 6, false},
      {0, 6, "beta", Forward, 1, 0, false},       // not the match under the cursor
      {1, 0, "beta", Forward, 3, 0, false},       // past an empty line, over CR LF
      {0, 40, "BETA", Forward, 1, 0, false},      // a cursor past the end of its line
      {3, 0, "beta", Forward, 0, 6, true},        // round to the top
      {5, 2, "d", Forward, 5, 2, true},           // the one match, from itself
      {0, 0, "\xE9t\xE9", Forward, 4, 0, false},  // accented letters match either case
      {4, 0, "\xC9T\xC9", Forward, 4, 4, false},
      {3, 0, "beta", Backward, 1, 0, false},
      {0, 7, "beta", Backward, 0, 6, false},  // the match the cursor is inside
      {0, 6, "beta", Backward, 3, 0, true},   // round to the end
      {5, 0, "END", Backward, 5, 0, true},
      {0, 0, "a\nB", Forward, -1, 0, false},  // a match never spans lines
      {0, 0, "", Forward, -1, 0, false},
      {2, 0, "nowhere", Backward, -1, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " from " + std::to_string(c.line) + "," + std::to_string(c.column) +
                 (c.direction == Forward ? " forward" : " backward"));
    editor.setPosition({c.line, c.column, -1, -1, -1, -1});
    std::optional<SearchMatch> match = editor.find(c.text, c.direction);
    ASSERT_EQ(match.has_value(), c.foundLine >= 0);
    if (!match) continue;
    EXPECT_EQ(match->line, c.foundLine);
    EXPECT_EQ(match->column, c.foundColumn);
    EXPECT_EQ(match->wrapped, c.wrapped);
  }
}

// A line wider than the window scrolls sideways with the cursor, by the
// least needed, and LeftPos moves it where the cursor stays in sight.
TEST_F(ModelEditorTest, LongLinesScrollSideways) {
  ModelEditor editor(1, write(std::string(100, 'x') + "\nshort\n"), 20, 5);
  std::string error;
  ASSERT_TRUE(editor.open(0, error)) << error;
  struct Step {
    uint16_t key;  // 0: position instead
    EditorSetPosition position;
    int32_t column, left;
  };
  const Step steps[] = {
      {VK_END, {}, 100, 81},
      {VK_DOWN, {}, 100, 81},  // the column is not bound to the line
      {VK_HOME, {}, 0, 0},
      {0, {0, 30, -1, -1, -1, -1}, 30, 11},
      {0, {-1, -1, -1, -1, 20, -1}, 30, 20},  // honoured: the cursor stays on screen
      {0, {-1, -1, -1, -1, 50, -1}, 30, 30},  // not past the cursor
      {0, {-1, -1, -1, -1, 0, -1}, 30, 11},
  };
  int index = 0;
  for (const Step& step : steps) {
    if (step.key != 0) {
      editor.moveByKey(step.key, 0);
    } else {
      editor.setPosition(step.position);
    }
    EXPECT_EQ(editor.cursorColumn(), step.column) << "step " << index;
    EXPECT_EQ(editor.leftColumn(), step.left) << "step " << index;
    ++index;
  }
  editor.resize(10, 5);
  EXPECT_EQ(editor.leftColumn(), 21);
  EditorInfo info;
  editor.fillInfo(info);
  EXPECT_EQ(info.LeftPos, 21);
  EXPECT_EQ(info.CurPos, 30);
}

TEST_F(ModelEditorTest, ResizedWindowKeepsTheCursorOnScreen) {
  ModelEditor editor(1, writeLines(100), 80, 20);
  std::string error;
  ASSERT_TRUE(editor.open(50, error)) << error;
  EXPECT_EQ(editor.topLine(), 50);
  editor.setPosition({69, -1, -1, -1, -1, -1});
  editor.resize(100, 5);
  EXPECT_EQ(editor.windowColumns(), 100);
  EXPECT_EQ(editor.windowRows(), 5);
  EXPECT_EQ(editor.cursorLine(), 69);
  EXPECT_EQ(editor.topLine(), 65);
  editor.resize(100, 0);
  EXPECT_EQ(editor.windowRows(), 1);
  EXPECT_EQ(editor.topLine(), 69);
}

}  // namespace
}  // namespace orbis::console
