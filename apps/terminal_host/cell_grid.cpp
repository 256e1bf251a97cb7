#include "terminal_host/cell_grid.h"

#include <algorithm>

namespace orbis::terminal {

CellGrid::CellGrid(int columns, int rows, uint8_t attr) { resize(columns, rows, attr); }

void CellGrid::resize(int columns, int rows, uint8_t attr) {
  columns = std::max(columns, 0);
  rows = std::max(rows, 0);
  std::vector<Cell> cells(static_cast<std::size_t>(columns) * rows, Cell{U' ', attr});
  for (int row = 0; row < std::min(rows, rows_); ++row) {
    std::copy_n(cells_.begin() + static_cast<std::ptrdiff_t>(row) * columns_,
                std::min(columns, columns_),
                cells.begin() + static_cast<std::ptrdiff_t>(row) * columns);
  }
  cells_.swap(cells);
  columns_ = columns;
  rows_ = rows;
}

void CellGrid::fill(int column, int row, int width, char32_t character, uint8_t attr) {
  if (row < 0 || row >= rows_) return;
  int first = std::max(column, 0);
  int end = std::min(column + std::max(width, 0), columns_);
  std::fill(rowStart(row) + first, rowStart(row) + std::max(end, first), Cell{character, attr});
}

int CellGrid::put(int column, int row, std::u32string_view text, uint8_t attr) {
  for (char32_t character : text) {
    if (inside(column, row)) rowStart(row)[column] = Cell{character, attr};
    ++column;
  }
  return std::min(column, columns_);
}

void CellGrid::paint(int row, int first, int last, uint8_t attr) {
  if (row < 0 || row >= rows_) return;
  first = std::max(first, 0);
  last = std::min(last, columns_ - 1);
  for (int column = first; column <= last; ++column) rowStart(row)[column].attr = attr;
}

void CellGrid::setCell(int column, int row, Cell cell) {
  if (inside(column, row)) rowStart(row)[column] = cell;
}

const Cell& CellGrid::at(int column, int row) const {
  static const Cell outside{};
  if (!inside(column, row)) return outside;
  return cells_[static_cast<std::size_t>(row) * columns_ + column];
}

std::span<const Cell> CellGrid::row(int row) const {
  if (row < 0 || row >= rows_) return {};
  return {cells_.data() + static_cast<std::size_t>(row) * columns_,
          static_cast<std::size_t>(columns_)};
}

}  // namespace orbis::terminal
