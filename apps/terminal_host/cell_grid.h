// The screen as the terminal host composes it: a grid of cells, each a
// character and a console colour attribute (background * 16 + foreground).
// Everything the host shows is drawn here first and then handed to the
// terminal, so a saved screen is a copy of the grid and a box can be drawn
// over it and taken away again.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace orbis::terminal {

struct Cell {
  char32_t character = U' ';
  uint8_t attr = 0x07;
  friend bool operator==(const Cell&, const Cell&) = default;
};

class CellGrid {
public:
  CellGrid() = default;
  CellGrid(int columns, int rows, uint8_t attr);

  int columns() const { return columns_; }
  int rows() const { return rows_; }
  bool empty() const { return cells_.empty(); }

  // A new size; the cells that fit keep what they hold, new ones are blank
  // in attr.
  void resize(int columns, int rows, uint8_t attr);

  // Writing outside the grid is cut off silently.
  void fill(int column, int row, int width, char32_t character, uint8_t attr);
  // Returns the column after the text, as far as the grid reaches.
  int put(int column, int row, std::u32string_view text, uint8_t attr);
  // Changes only the colour of the cells from first to last (inclusive).
  void paint(int row, int first, int last, uint8_t attr);
  void setCell(int column, int row, Cell cell);

  const Cell& at(int column, int row) const;
  std::span<const Cell> row(int row) const;

  friend bool operator==(const CellGrid&, const CellGrid&) = default;

private:
  bool inside(int column, int row) const {
    return column >= 0 && row >= 0 && column < columns_ && row < rows_;
  }
  Cell* rowStart(int row) { return cells_.data() + static_cast<std::size_t>(row) * columns_; }

  int columns_ = 0;
  int rows_ = 0;
  std::vector<Cell> cells_;
};

}  // namespace orbis::terminal
