// The check of the terminal's type, apart from the rest of the screen: it
// needs <term.h>, which defines macros under common names (columns, lines)
// that would clash with the code there, so it comes after every other
// header here.
#include "terminal_host/terminal_screen.h"

#include <curses.h>
#include <term.h>

namespace orbis::terminal {

bool TerminalScreen::usable(std::string& error) const {
  if (started()) return true;
  int status = 0;
  if (setupterm(nullptr, fileno(streams_.output), &status) != OK) {
    error = "the terminal type is unknown to this system (TERM)";
    return false;
  }
  del_curterm(cur_term);
  return true;
}

}  // namespace orbis::terminal
