#include "terminal_host/framed_box.h"

#include <algorithm>

namespace orbis::terminal {

namespace {

constexpr char32_t TopLeft = 0x2554;
constexpr char32_t TopRight = 0x2557;
constexpr char32_t BottomLeft = 0x255A;
constexpr char32_t BottomRight = 0x255D;
constexpr char32_t Horizontal = 0x2550;
constexpr char32_t Vertical = 0x2551;
constexpr char32_t SeparatorLeft = 0x255F;
constexpr char32_t SeparatorRight = 0x2562;
constexpr char32_t Separator = 0x2500;

// Around the text: a blank margin, the frame, and a blank column inside it.
constexpr int Margin = 1;
constexpr int Border = Margin + 2;
constexpr int ButtonGap = 1;

// The text without its '&', and the position of the hot letter in it (or
// -1).
std::u32string shownChoice(const std::u32string& text, int& hot) {
  std::u32string shown;
  hot = -1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == U'&' && i + 1 < text.size() && hot < 0) {
      hot = static_cast<int>(shown.size());
      continue;
    }
    shown += text[i];
  }
  return shown;
}

char32_t folded(char32_t c) { return c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c; }

int length(const std::u32string& text) { return static_cast<int>(text.size()); }

}  // namespace

FramedBox::FramedBox(BoxContent content, BoxColors colors)
    : content_(std::move(content)), colors_(colors) {}

int FramedBox::innerWidth(int screenColumns) const {
  int inner = length(content_.title) + 2;
  for (const std::u32string& line : content_.lines) inner = std::max(inner, length(line));
  int hot = 0;
  int buttons = 0;
  for (const std::u32string& choice : content_.choices) {
    int shown = length(shownChoice(choice, hot));
    if (content_.choicesInRow) {
      buttons += shown + 4 + (buttons > 0 ? ButtonGap : 0);
    } else {
      inner = std::max(inner, shown);
    }
  }
  inner = std::max(inner, buttons);
  return std::max(std::min(inner, screenColumns - 2 * Border), 1);
}

void FramedBox::draw(CellGrid& grid, int chosen) {
  places_.clear();
  int inner = innerWidth(grid.columns());
  bool buttons = content_.choicesInRow && !content_.choices.empty();
  int choiceRows = content_.choicesInRow ? (buttons ? 2 : 0) : choiceCount();
  int height = static_cast<int>(content_.lines.size()) + choiceRows + 2 + 2 * Margin;
  int width = inner + 2 * Border;
  int left = std::max((grid.columns() - width) / 2, 0);
  int top = std::max((grid.rows() - height) / 2, 0);
  for (int row = top; row < top + height; ++row) grid.fill(left, row, width, U' ', colors_.frame);
  drawFrame(grid, left + Margin, top + Margin, width - 2 * Margin, height - 2 * Margin);
  int row = top + Margin + 1;
  for (const std::u32string& line : content_.lines) {
    std::u32string cut = line.substr(0, static_cast<std::size_t>(inner));
    grid.put(left + Border + (inner - length(cut)) / 2, row++, cut, colors_.text);
  }
  if (buttons) {
    grid.put(left + Margin, row, std::u32string(1, SeparatorLeft), colors_.frame);
    grid.fill(left + Margin + 1, row, width - 2 * Margin - 2, Separator, colors_.frame);
    grid.put(left + width - Margin - 1, row, std::u32string(1, SeparatorRight), colors_.frame);
    drawButtons(grid, left + Border, row + 1, inner, chosen);
  } else if (!content_.choicesInRow) {
    drawItems(grid, left + Margin + 1, row, inner + 2, choiceCount(), chosen);
  }
}

void FramedBox::drawFrame(CellGrid& grid, int left, int top, int width, int height) const {
  int right = left + width - 1;
  int bottom = top + height - 1;
  grid.fill(left, top, width, Horizontal, colors_.frame);
  grid.fill(left, bottom, width, Horizontal, colors_.frame);
  for (int row = top; row <= bottom; ++row) {
    grid.setCell(left, row, {Vertical, colors_.frame});
    grid.setCell(right, row, {Vertical, colors_.frame});
  }
  grid.setCell(left, top, {TopLeft, colors_.frame});
  grid.setCell(right, top, {TopRight, colors_.frame});
  grid.setCell(left, bottom, {BottomLeft, colors_.frame});
  grid.setCell(right, bottom, {BottomRight, colors_.frame});
  if (content_.title.empty()) return;
  std::u32string title =
      U" " + content_.title.substr(0, static_cast<std::size_t>(std::max(width - 4, 0))) + U" ";
  grid.put(left + (width - length(title)) / 2, top, title, colors_.title);
}

void FramedBox::drawButtons(CellGrid& grid, int left, int row, int inner, int chosen) {
  int total = 0;
  int hot = 0;
  for (const std::u32string& choice : content_.choices) {
    total += length(shownChoice(choice, hot)) + 4 + (total > 0 ? ButtonGap : 0);
  }
  int column = left + std::max((inner - total) / 2, 0);
  for (int i = 0; i < choiceCount(); ++i) {
    int end = drawChoice(grid, column, row, U"[ " + content_.choices[i] + U" ]", i == chosen);
    places_.push_back({column, row, end - column});
    column = end + ButtonGap;
  }
}

void FramedBox::drawItems(CellGrid& grid, int left, int top, int width, int rows, int chosen) {
  for (int i = 0; i < rows; ++i) {
    bool lit = i == chosen;
    grid.fill(left, top + i, width, U' ', lit ? colors_.chosenButton : colors_.button);
    drawChoice(grid, left + 1, top + i, content_.choices[i], lit);
    places_.push_back({left, top + i, width});
  }
}

// Returns the column after the choice.
int FramedBox::drawChoice(CellGrid& grid, int column, int row, const std::u32string& text,
                          bool chosen) const {
  int hot = -1;
  std::u32string shown = shownChoice(text, hot);
  int end = grid.put(column, row, shown, chosen ? colors_.chosenButton : colors_.button);
  if (hot >= 0) {
    uint8_t lit = chosen ? colors_.chosenButtonHighlight : colors_.buttonHighlight;
    grid.paint(row, column + hot, column + hot, lit);
  }
  return std::max(end, column + length(shown));
}

int FramedBox::choiceAt(int column, int row) const {
  for (std::size_t i = 0; i < places_.size(); ++i) {
    const Place& place = places_[i];
    if (row == place.row && column >= place.column && column < place.column + place.width) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

int FramedBox::choiceForLetter(char32_t letter) const {
  for (int i = 0; i < choiceCount(); ++i) {
    int hot = -1;
    std::u32string shown = shownChoice(content_.choices[i], hot);
    if (shown.empty()) continue;
    char32_t key = shown[static_cast<std::size_t>(std::max(hot, 0))];
    if (folded(key) == folded(letter)) return i;
  }
  return -1;
}

}  // namespace orbis::terminal
