// The editor's screen as the terminal host draws it:
//
//   row 0            the status line: the editor's title, then the
//                    cursor's line and text column (from 1) and how far
//                    into the text it is, as a percentage
//   rows 1 to N      the text from the top line and the left column, each
//                    cell in the last colour the plug-in added for its text
//                    column during the redraw, else in the editor's own
//                    colour
//   the last row     the key bar: the keys that work; or a prompt, or a
//                    note such as a search that found nothing
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "host/far_api.h"
#include "terminal_host/cell_grid.h"
#include "terminal_host/host_colors.h"

namespace orbis::console {
class ModelEditor;
}

namespace orbis::terminal {

// What the key bar row shows: the keys when text is empty, else text.
struct KeyBarLine {
  std::u32string text;
  bool prompt = false;  // text is being typed: the cursor stands after it
};

// Draws the whole screen for editor into grid, which has the console's
// size. title is in the document's code page: the host hands the plug-in
// no character table, so titles reach it as the page has them.
void drawEditor(CellGrid& grid, const console::ModelEditor& editor,
                std::span<const EditorColor> colors, std::string_view title,
                const HostColors& hostColors, const KeyBarLine& keyBar);

// Draws only the key bar row, the grid's last.
void drawKeyBarLine(CellGrid& grid, const HostColors& hostColors, const KeyBarLine& keyBar);

// Where the terminal's cursor goes after drawEditor: the editor's cursor,
// or the end of a prompt; column -1 when it is off the screen.
void editorCursor(const CellGrid& grid, const console::ModelEditor& editor,
                  const KeyBarLine& keyBar, int& column, int& row);

// The status line's account of the cursor: "Line L/N Col C P%".
std::string cursorReport(const console::ModelEditor& editor);

}  // namespace orbis::terminal
