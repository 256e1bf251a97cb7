#include "color_dump.h"

#include <algorithm>
#include <vector>

#include "console_host/model_editor.h"
#include "console_host/terminal_cells.h"
#include "terminal_text.h"

namespace orbis::app {

namespace {

constexpr char Reset[] = "\x1B[0m";

void appendSgr(std::string& out, ColorAttr attr) {
  int foreground = attr & 15;
  int background = attr >> 4;
  out += "\x1B[";
  out += std::to_string((foreground & 8 ? 90 : 30) + (console::terminalColor(foreground) & 7));
  out += ';';
  out += std::to_string((background & 8 ? 100 : 40) + (console::terminalColor(background) & 7));
  out += 'm';
}

// The lines the dump prints: all of the file's, less the empty one after a
// final line feed (so the dump has the lines of the plain dump).
int32_t printedLines(const console::ModelEditor& editor) {
  return editor.lineCount() - (editor.endsWithLineFeed() ? 1 : 0);
}

}  // namespace

void appendColoredLine(std::string& out, std::string_view text, std::span<const EditorColor> colors,
                       ColorAttr base, int width, DumpStyle style) {
  int64_t cells = static_cast<int64_t>(text.size());
  for (const EditorColor& color : colors) {
    cells = std::max<int64_t>(cells, std::min<int64_t>(int64_t{color.EndPos} + 1, width));
  }
  std::vector<ColorAttr> attrs(static_cast<std::size_t>(cells), base);
  for (const EditorColor& color : colors) {
    int64_t first = std::max<int64_t>(color.StartPos, 0);
    int64_t last = std::min<int64_t>(color.EndPos, cells - 1);
    for (int64_t cell = first; cell <= last; ++cell) {
      attrs[static_cast<std::size_t>(cell)] = static_cast<ColorAttr>(color.Color & 0xFF);
    }
  }
  std::string padded;
  std::size_t cell = 0;
  while (cell < attrs.size()) {
    std::size_t end = cell;
    while (end < attrs.size() && attrs[end] == attrs[cell]) ++end;
    appendSgr(out, attrs[cell]);
    std::string_view piece =
        cell < text.size() ? text.substr(cell, end - cell) : std::string_view();
    appendShown(out, piece, style);
    out.append(end - cell - piece.size(), ' ');
    cell = end;
  }
  if (!attrs.empty()) out += Reset;
}

console::HostEvent ColorDumpFrontEnd::nextEvent(const console::ModelEditor& editor) {
  console::HostEvent event;
  // Output that failed (a reader gone) ends the dump: nothing more can be
  // written.
  if (!finished_ && out_.error() == 0 && nextTop_ < printedLines(editor)) {
    event.kind = console::HostEvent::Kind::Scroll;
    event.top = nextTop_;
    return event;
  }
  finished_ = true;
  return event;
}

void ColorDumpFrontEnd::editorDrawn(const console::ModelEditor& editor,
                                    std::span<const EditorColor> colors) {
  if (finished_ || editor.topLine() != nextTop_) return;
  int32_t rows = editor.windowRows();
  int32_t end = std::min(printedLines(editor), nextTop_ + rows);
  std::vector<std::vector<EditorColor>> byLine(static_cast<std::size_t>(rows));
  for (const EditorColor& color : colors) {
    int64_t row = int64_t{color.StringNumber} - nextTop_;
    if (row >= 0 && row < rows) byLine[static_cast<std::size_t>(row)].push_back(color);
  }
  for (int32_t line = nextTop_; line < end; ++line) {
    appendColoredLine(out_.line(), editor.line(line),
                      byLine[static_cast<std::size_t>(line - nextTop_)], base_,
                      editor.windowColumns(), style_);
    out_.endLine();
  }
  nextTop_ += rows;
}

}  // namespace orbis::app
