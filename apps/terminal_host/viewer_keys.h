// The viewer's keys in the terminal host: one table that the help box (F1)
// and the key bar both read.
//
// Besides the editor's own keys, the host takes the keys that users of
// pagers and browsers type without thinking (Space and b to page, / n N to
// search, j k to move, g G for the ends) and turns each into the editor key
// of the same meaning before the plug-in sees it, as it takes q to leave.
// They are plain letters that the viewer has no use for: the page cannot be
// edited, so nothing is lost by lending them.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orbis::terminal {

// One entry of the key bar: the key, then what it does.
struct KeyBarLabel {
  std::string_view key;
  std::string_view label;
  bool optional = false;  // left out first when the row is too narrow
};

// One line of help, and the entries it puts on the key bar (an empty key:
// none).
struct ViewerKey {
  std::string_view keys;  // the editor's keys, "PgUp, PgDn", by their key-script names
  std::string_view does;
  KeyBarLabel bar[2] = {};
};

std::span<const ViewerKey> viewerKeys();

// The key-script name of the editor key that a typed key stands for
// ("PgDn" for "Space"); empty when it stands for none.
std::string_view pagerKeyFor(std::string_view typed);

// The help box's lines: the keys, the pager keys that stand for them and
// what they do, in aligned columns.
std::vector<std::u32string> helpLines();

// The key bar's entries for a row of columns cells: all of them when they
// fit, else those that are not optional.
std::vector<KeyBarLabel> keyBarLabels(int columns);

// The cells an entry takes on the key bar, the blank after it included.
int keyBarWidth(const KeyBarLabel& entry);

}  // namespace orbis::terminal
