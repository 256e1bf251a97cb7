#include "terminal_host/curses_colors.h"

#include "console_host/terminal_cells.h"

namespace orbis::terminal {

namespace {

constexpr int Bright = 8;

}  // namespace

CursesStyle cursesStyle(uint8_t attr, int colors) {
  int foreground = attr & 15;
  int background = attr >> 4;
  CursesStyle style;
  if (colors >= 16) {
    style.foreground = static_cast<short>(console::terminalColor(foreground));
    style.background = static_cast<short>(console::terminalColor(background));
  } else if (colors >= 8) {
    style.foreground = static_cast<short>(console::terminalColor(foreground & 7));
    style.background = static_cast<short>(console::terminalColor(background & 7));
    style.bold = (foreground & Bright) != 0;
  } else {
    style.bold = (foreground & Bright) != 0;
    style.reverse = (foreground & 7) == 0 && background != 0;
  }
  return style;
}

}  // namespace orbis::terminal
