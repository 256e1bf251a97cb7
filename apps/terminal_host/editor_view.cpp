#include "terminal_host/editor_view.h"

#include <algorithm>
#include <vector>

#include "console_host/model_editor.h"
#include "terminal_host/host_text.h"
#include "terminal_host/viewer_keys.h"

namespace orbis::terminal {

namespace {

std::u32string ascii(std::string_view text) { return std::u32string(text.begin(), text.end()); }

// A text column of the editor as a column of the screen, kept within
// [-1, columns] so that it fits an int whatever the plug-in sent.
int screenColumn(int64_t textColumn, int32_t left, int columns) {
  return static_cast<int>(std::clamp<int64_t>(textColumn - left, -1, columns));
}

void drawStatusLine(CellGrid& grid, const console::ModelEditor& editor, std::string_view title,
                    uint8_t attr) {
  grid.fill(0, 0, grid.columns(), U' ', attr);
  std::u32string report = ascii(cursorReport(editor));
  int reportColumn = std::max(grid.columns() - static_cast<int>(report.size()) - 1, 0);
  // The title yields to the report when both do not fit.
  std::u32string shownTitle = documentText(title);
  int room = std::max(reportColumn - 2, 0);
  if (static_cast<int>(shownTitle.size()) > room) shownTitle.resize(static_cast<std::size_t>(room));
  grid.put(1, 0, shownTitle, attr);
  grid.put(reportColumn, 0, report, attr);
}

void drawText(CellGrid& grid, const console::ModelEditor& editor,
              std::span<const EditorColor> colors, uint8_t attr) {
  int rows = std::min(editor.windowRows(), grid.rows() - 2);
  int32_t top = editor.topLine();
  int32_t left = editor.leftColumn();
  for (int row = 0; row < rows; ++row) {
    std::string_view line = editor.line(top + row);
    line.remove_prefix(std::min(line.size(), static_cast<std::size_t>(left)));
    std::size_t shown = std::min(line.size(), static_cast<std::size_t>(grid.columns()));
    for (std::size_t column = 0; column < shown; ++column) {
      grid.setCell(static_cast<int>(column), row + 1,
                   {documentCharacter(static_cast<unsigned char>(line[column])), attr});
    }
    grid.fill(static_cast<int>(shown), row + 1, grid.columns() - static_cast<int>(shown), U' ',
              attr);
  }
  // The plug-in colours text columns: they move with the text.
  for (const EditorColor& color : colors) {
    int64_t row = int64_t{color.StringNumber} - top;
    if (row < 0 || row >= rows) continue;
    grid.paint(static_cast<int>(row) + 1, screenColumn(color.StartPos, left, grid.columns()),
               screenColumn(color.EndPos, left, grid.columns()), static_cast<uint8_t>(color.Color));
  }
}

// The labels share out the row's spare width, so the bar spans the row.
void drawKeyBar(CellGrid& grid, int row, const HostColors& colors) {
  grid.fill(0, row, grid.columns(), U' ', colors.keyBar);
  std::vector<KeyBarLabel> labels = keyBarLabels(grid.columns());
  int natural = 0;
  for (const KeyBarLabel& entry : labels) natural += keyBarWidth(entry);
  int count = std::max(static_cast<int>(labels.size()), 1);
  int extra = std::max(grid.columns() - natural, 0) / count;
  int column = 0;
  for (const KeyBarLabel& entry : labels) {
    column = grid.put(column, row, ascii(entry.key), colors.keyNumber);
    int width = static_cast<int>(entry.label.size()) + extra;
    grid.fill(column, row, width, U' ', colors.keyLabel);
    grid.put(column, row, ascii(entry.label), colors.keyLabel);
    column += width + 1;
  }
}

}  // namespace

std::string cursorReport(const console::ModelEditor& editor) {
  int32_t lines = editor.lineCount();
  int64_t line = editor.cursorLine();
  int64_t percent = lines <= 1 ? 100 : line * 100 / (lines - 1);
  return "Line " + std::to_string(line + 1) + "/" + std::to_string(lines) + " Col " +
         std::to_string(int64_t{editor.cursorColumn()} + 1) + " " + std::to_string(percent) + "%";
}

void drawEditor(CellGrid& grid, const console::ModelEditor& editor,
                std::span<const EditorColor> colors, std::string_view title,
                const HostColors& hostColors, const KeyBarLine& keyBar) {
  if (grid.rows() < 1) return;
  drawStatusLine(grid, editor, title, hostColors.status);
  drawText(grid, editor, colors, hostColors.editor);
  drawKeyBarLine(grid, hostColors, keyBar);
}

void drawKeyBarLine(CellGrid& grid, const HostColors& hostColors, const KeyBarLine& keyBar) {
  int last = grid.rows() - 1;
  if (last < 1) return;
  if (keyBar.text.empty()) {
    drawKeyBar(grid, last, hostColors);
  } else {
    grid.fill(0, last, grid.columns(), U' ', hostColors.keyLabel);
    grid.put(0, last, keyBar.text, hostColors.keyLabel);
  }
}

void editorCursor(const CellGrid& grid, const console::ModelEditor& editor,
                  const KeyBarLine& keyBar, int& column, int& row) {
  if (keyBar.prompt) {
    column = std::min(static_cast<int>(keyBar.text.size()), grid.columns() - 1);
    row = grid.rows() - 1;
    return;
  }
  int64_t screenRow = int64_t{editor.cursorLine()} - editor.topLine() + 1;
  int64_t screenColumn = int64_t{editor.cursorColumn()} - editor.leftColumn();
  bool visible = screenRow >= 1 && screenRow <= std::min(editor.windowRows(), grid.rows() - 2) &&
                 screenColumn >= 0 && screenColumn < grid.columns();
  column = visible ? static_cast<int>(screenColumn) : -1;
  row = static_cast<int>(visible ? screenRow : 0);
}

}  // namespace orbis::terminal
