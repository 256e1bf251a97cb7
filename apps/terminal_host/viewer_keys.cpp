#include "terminal_host/viewer_keys.h"

#include <algorithm>
#include <iterator>

namespace orbis::terminal {

namespace {

constexpr ViewerKey ViewerKeys[] = {
    {"F1", "this help", {{"1", "Help"}}},
    {"Up, Down, Left, Right", "move the cursor (lines scroll sideways)", {}},
    {"PgUp, PgDn", "move by a screen", {{"Spc/b", "Page", true}}},
    {"Home, End", "the start or the end of the line", {}},
    {"Ctrl+Home, Ctrl+End", "the first or the last line", {}},
    {"Mouse wheel", "scroll", {}},
    {"Enter, left click", "follow the link under the cursor", {{"Enter", "Follow"}}},
    {"Tab, Shift+Tab", "the next or the previous link", {}},
    {"Backspace", "back to the page before", {{"BS", "Back"}}},
    {"F7", "search the text", {{"7", "Search"}}},
    {"Shift+F7, Alt+F7", "its next or its previous place", {{"n/N", "Next", true}}},
    {"F11", "the plug-in menu: back, colours", {{"11", "Plug-ins"}}},
    {"F10, Esc, q", "leave the viewer", {{"10", "Quit"}, {"Esc/q", "Quit"}}},
};

struct PagerKey {
  std::string_view typed;
  std::string_view key;
};

constexpr PagerKey PagerKeys[] = {
    {"Space", "PgDn"}, {"b", "PgUp"}, {"/", "F7"},        {"n", "Shift+F7"}, {"N", "Alt+F7"},
    {"j", "Down"},     {"k", "Up"},   {"g", "Ctrl+Home"}, {"G", "Ctrl+End"},
};

constexpr std::string_view Separator = ", ";
constexpr std::size_t ColumnGap = 2;

// The pager keys of a help line, in the order of the keys they stand for.
std::string pagerKeysOf(std::string_view keys) {
  std::string typed;
  while (!keys.empty()) {
    std::size_t end = keys.find(Separator);
    std::string_view key = keys.substr(0, end);
    for (const PagerKey& entry : PagerKeys) {
      if (entry.key != key) continue;
      if (!typed.empty()) typed += Separator;
      typed += entry.typed;
    }
    keys = end == std::string_view::npos ? std::string_view() : keys.substr(end + Separator.size());
  }
  return typed;
}

void appendPadded(std::u32string& line, std::string_view text, std::size_t width) {
  line.append(text.begin(), text.end());
  line.append(width - std::min(width, text.size()), U' ');
}

}  // namespace

std::span<const ViewerKey> viewerKeys() { return ViewerKeys; }

std::string_view pagerKeyFor(std::string_view typed) {
  for (const PagerKey& entry : PagerKeys) {
    if (entry.typed == typed) return entry.key;
  }
  return {};
}

std::vector<std::u32string> helpLines() {
  std::size_t keysWidth = 0;
  std::size_t typedWidth = 0;
  std::size_t doesWidth = 0;
  for (const ViewerKey& entry : ViewerKeys) {
    keysWidth = std::max(keysWidth, entry.keys.size());
    typedWidth = std::max(typedWidth, pagerKeysOf(entry.keys).size());
    doesWidth = std::max(doesWidth, entry.does.size());
  }
  std::vector<std::u32string> lines;
  for (const ViewerKey& entry : ViewerKeys) {
    std::u32string line;
    appendPadded(line, entry.keys, keysWidth + ColumnGap);
    appendPadded(line, pagerKeysOf(entry.keys), typedWidth + ColumnGap);
    appendPadded(line, entry.does, doesWidth);
    lines.push_back(std::move(line));
  }
  return lines;
}

int keyBarWidth(const KeyBarLabel& entry) {
  return static_cast<int>(entry.key.size() + entry.label.size()) + 1;
}

std::vector<KeyBarLabel> keyBarLabels(int columns) {
  std::vector<KeyBarLabel> labels;
  int natural = 0;
  for (const ViewerKey& entry : ViewerKeys) {
    for (const KeyBarLabel& label : entry.bar) {
      if (label.key.empty()) continue;
      labels.push_back(label);
      natural += keyBarWidth(label);
    }
  }
  if (natural - 1 <= columns) return labels;
  std::erase_if(labels, [](const KeyBarLabel& label) { return label.optional; });
  return labels;
}

}  // namespace orbis::terminal
