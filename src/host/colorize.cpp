// Colouring walks only the lines on the screen, indexing the first of them
// directly, and tells the active link by its first piece: a redraw costs the
// same at the top and at the end of any page, however far a link wraps.
// Nothing is kept between redraws; the colours are sent again each time. A
// run in the editor's own colour is not sent, and line ends are filled only
// when the page's background differs from the editor's, so that a page in
// the editor's colours costs no calls at all.
#include "host/colorize.h"

#include <algorithm>

#include "host/host_calls.h"
#include "host/link_target.h"
#include "host/plugin_state.h"
#include "platform/shared/console.h"

namespace orbis::host {

namespace {

int colorAttribute(int32_t background, int32_t foreground) {
  return (background * 16 + foreground) & 0xFF;
}
int colorAttribute(ColorPair colors) {
  return colorAttribute(colors.background, colors.foreground);
}

void addColor(int64_t line, int attribute, int64_t start, int64_t end) {
  EditorColor color{static_cast<int>(line), 0, static_cast<int>(start), static_cast<int>(end),
                    attribute};
  editorControl(ECTL_ADDCOLOR, &color);
}

// The colours of the redraw: what the switch of document colours picks.
struct RedrawColors {
  const Document& document;
  const Settings& settings;
  bool documentColors;
  int editorAttribute;
  ColorPair base;

  int runAttribute(const TextRun& run, bool active) const {
    if (documentColors) {
      return colorAttribute(active ? document.activeColorsOf(run) : document.colorsOf(run));
    }
    int32_t foreground = active ? settings.alink : (run.isLink() ? settings.link : settings.text);
    return colorAttribute(settings.bgcolor, foreground);
  }
  bool fillsLines() const { return base.background != (editorAttribute >> 4); }
};

}  // namespace

const TextRun* linkAt(const Document& document, int64_t column, int64_t line) {
  if (line < 0 || line >= static_cast<int64_t>(document.lines.size())) return nullptr;
  const RunRange runs = document.lines[static_cast<std::size_t>(line)].runs;
  // The runs of a line lie side by side from column 0.
  auto covering = std::lower_bound(runs.begin(), runs.end(), column,
                                   [](const TextRun& run, int64_t cell) { return run.end < cell; });
  if (covering == runs.end() || covering->start > column || !covering->isLink()) return nullptr;
  return &document.lines.run(covering->firstPiece);
}

bool linkContains(const Document& document, const TextRun& run, int64_t column, int64_t line) {
  const TextRun* first = linkAt(document, column, line);
  return run.isLink() && first != nullptr && run.firstPiece == first->firstPiece;
}

std::string titleText(std::string_view target) {
  std::string copy(target);
  convertForConsole(copy.data(), static_cast<int>(copy.size()));
  return decodeUrl(copy);
}

void colorize(const EditorInfo& info) {
  const PluginState& state = pluginState();
  const Document& document = *state.currentDocument;
  const Settings& settings = *state.settings;
  const RedrawColors colors{
      document, settings, state.documentColors,
      colorAttribute(settings.palette.colorsAt(EditorTextEntry)),
      state.documentColors ? document.normalColors : ColorPair{settings.bgcolor, settings.text}};
  const int baseAttribute = colorAttribute(colors.base);
  const TextRun* active = linkAt(document, state.cursorColumn, state.cursorLine);
  bool found = false;

  const int64_t top = info.TopScreenLine;
  const int64_t end = top + info.WindowSizeY;
  // The last text column on the screen, however far it is scrolled sideways.
  const int64_t lastColumn = int64_t{info.LeftPos} + info.WindowSizeX - 1;
  const int64_t lineCount = static_cast<int64_t>(document.lines.size());
  for (int64_t i = std::max<int64_t>(top, 0); i < std::min(end, lineCount); ++i) {
    const RenderedLine line = document.lines[static_cast<std::size_t>(i)];
    for (const TextRun& run : line.runs) {
      bool isActive = run.isLink() && active != nullptr && run.firstPiece == active->firstPiece;
      if (isActive) {
        std::string_view target = document.targetOf(run);
        if (!target.empty()) platform::setConsoleTitle(titleText(target).c_str());
        found = true;
      }
      int attribute = colors.runAttribute(run, isActive);
      if (attribute != colors.editorAttribute) addColor(i, attribute, run.start, run.end);
    }
    if (colors.fillsLines()) {
      int64_t from = line.runs.empty() ? 0 : int64_t{line.runs.back().end} + 1;
      addColor(i, baseAttribute, from, lastColumn);
    }
  }
  // The empty lines the writer adds after the text have no rendered line.
  if (lineCount < end && colors.fillsLines()) {
    for (int64_t i = lineCount; i < end; ++i) addColor(i, baseAttribute, 0, lastColumn);
  }
  if (!found) platform::setConsoleTitle(DefaultConsoleTitle);
}

}  // namespace orbis::host
