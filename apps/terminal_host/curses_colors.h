// How a console colour attribute (background * 16 + foreground) is shown on
// a terminal with a given number of colours: with 16 or more, each console
// colour is the terminal colour of the same meaning; with 8, a bright
// foreground is the plain colour in bold and a bright background the plain
// one; without colours, dark text on a coloured background is shown in
// reverse. Every cell names its background: the terminal's own default is
// never used.
#pragma once

#include <cstdint>

namespace orbis::terminal {

struct CursesStyle {
  short foreground = 7;
  short background = 0;
  bool bold = false;
  bool reverse = false;
  friend bool operator==(const CursesStyle&, const CursesStyle&) = default;
};

CursesStyle cursesStyle(uint8_t attr, int colors);

}  // namespace orbis::terminal
