// The host's boxes: a double frame centred on the screen with a title in
// its top edge, lines of text, and choices, which are either buttons in a
// row under a separator (a message box) or one item per row (a menu). An
// '&' in a choice marks its hot letter, shown lit and not itself shown;
// a choice without one is chosen by its first letter.
//
//   ╔══════ Title ══════╗
//   ║    a text line    ║
//   ╟───────────────────╢
//   ║ [ Resume ] [ No ] ║
//   ╚═══════════════════╝
#pragma once

#include <string>
#include <vector>

#include "terminal_host/cell_grid.h"
#include "terminal_host/host_colors.h"

namespace orbis::terminal {

struct BoxContent {
  std::u32string title;
  std::vector<std::u32string> lines;
  std::vector<std::u32string> choices;
  bool choicesInRow = true;  // buttons; false: menu items
};

class FramedBox {
public:
  FramedBox(BoxContent content, BoxColors colors);

  // Draws the box over grid, centred, with choice chosen lit (-1: none).
  void draw(CellGrid& grid, int chosen);

  int choiceCount() const { return static_cast<int>(content_.choices.size()); }
  // The choice drawn at that cell by the last draw, or -1.
  int choiceAt(int column, int row) const;
  // The choice whose hot letter (or first letter) is letter, ignoring
  // case, or -1.
  int choiceForLetter(char32_t letter) const;

private:
  struct Place {
    int column;
    int row;
    int width;
  };
  int innerWidth(int screenColumns) const;
  void drawFrame(CellGrid& grid, int left, int top, int width, int height) const;
  void drawButtons(CellGrid& grid, int left, int row, int inner, int chosen);
  void drawItems(CellGrid& grid, int left, int top, int inner, int rows, int chosen);
  int drawChoice(CellGrid& grid, int column, int row, const std::u32string& text,
                 bool chosen) const;

  BoxContent content_;
  BoxColors colors_;
  std::vector<Place> places_;
};

}  // namespace orbis::terminal
