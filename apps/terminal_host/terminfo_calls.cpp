// The check of the terminal's type, apart from the rest of the screen: it
// needs <term.h>, which defines macros under common names (columns, lines)
// that would clash with the code there, so it comes after every other
// header here.
#include <cstdlib>

#include "terminal_host/terminal_screen.h"

#include <curses.h>
#include <term.h>

namespace orbis::terminal {

namespace {

// TERM as the message names it: printable ASCII, the rest as '?', cut
// short, so that nothing in it acts on the terminal that shows the message.
std::string shownTerminalName(const char* name) {
  constexpr std::size_t Limit = 64;
  if (name == nullptr) return "TERM is not set";
  std::string shown = "TERM=";
  for (const char* at = name; *at != '\0' && shown.size() < Limit; ++at) {
    bool printable = *at >= 0x20 && *at < 0x7F;
    shown += printable ? *at : '?';
  }
  return shown;
}

}  // namespace

// A terminal that cannot put the cursor where it likes (a dumb one, or one
// this system has no description of) could only show a scrolling mess.
bool TerminalScreen::usable(std::string& error) const {
  if (started()) return true;
  int status = 0;
  bool known = setupterm(nullptr, fileno(streams_.output), &status) == OK;
  bool addressable = false;
  if (known) {
    const char* moveCursor = tigetstr("cup");
    addressable = moveCursor != nullptr && moveCursor != reinterpret_cast<char*>(-1);
    del_curterm(cur_term);
  }
  if (addressable) return true;
  error = "cannot show the viewer on this terminal (" + shownTerminalName(std::getenv("TERM")) +
          "); use --dump";
  return false;
}

}  // namespace orbis::terminal
