#include "terminal_host/terminal_screen.h"

#include <curses.h>

#include <algorithm>
#include <clocale>
#include <cwchar>
#include <vector>

#include "platform/process.h"
#include "terminal_host/curses_colors.h"
#include "terminal_host/host_text.h"
#include "terminal_host/key_names.h"

namespace orbis::terminal {

namespace {

constexpr int EscapeDelayMilliseconds = 25;
constexpr int Escape = 0x1B;
constexpr std::size_t TitleLimit = 256;
// A blocking read fails only when the terminal is gone; a few failures in a
// row, with nothing read between them, say so for sure.
constexpr int FailedReadsOfAClosedTerminal = 3;
// ncurses switches on the button reports; reports of every movement are a
// mode of their own that it does not know.
constexpr const char* AnyMotionOn = "\x1B[?1003h";
constexpr const char* AnyMotionOff = "\x1B[?1003l";
// Reports in the SGR form, whatever the terminal's description says: the
// classic form cannot name a column or row past 223. Terminals without it
// go on sending the classic form, which ncurses reads.
constexpr const char* SgrReportsOn = "\x1B[?1006h";
constexpr const char* SgrReportsOff = "\x1B[?1006l";
// An SGR report: ESC [ < button ; column ; row, then M (pressed or moved)
// or m (released). Longer is no report. Once ESC [ < has come, the rest is
// surely on its way: it is waited for longer than a lone Escape.
constexpr int SgrReportLimit = 32;
constexpr int SgrReportWaitMilliseconds = 500;
constexpr int SgrMotion = 32;
constexpr int SgrWheel = 64;
constexpr int SgrNumberLimit = 1 << 20;
// The terminals' title stack keeps the title from before.
constexpr const char* PushTitle = "\x1B[22;0t";
constexpr const char* PopTitle = "\x1B[23;0t";
// Cancels whatever sequence a signal cut short.
constexpr const char* Cancel = "\x18";

// A string capability of the terminal, or null when it has none.
const char* capability(const char* name) {
  char* value = tigetstr(name);
  return value == reinterpret_cast<char*>(-1) ? nullptr : value;
}

std::string parameterized(const char* name, int parameter) {
  const char* value = capability(name);
  if (value == nullptr) return {};
  const char* expanded = tiparm(value, parameter);
  return expanded != nullptr ? expanded : std::string();
}

void append(std::string& out, const char* value) {
  if (value != nullptr) out += value;
}

// What an SGR report of button (with its motion and wheel bits) at a cell
// means to the host; Nothing for other buttons.
TerminalInput sgrMouseInput(int button, int column, int row, bool released) {
  using Action = TerminalInput::MouseAction;
  TerminalInput input;
  input.kind = TerminalInput::Kind::Mouse;
  input.column = std::max(column - 1, 0);
  input.row = std::max(row - 1, 0);
  int which = button & 3;
  if ((button & SgrWheel) != 0) {
    if (released || which > 1) input.kind = TerminalInput::Kind::Nothing;
    input.action = which == 0 ? Action::WheelUp : Action::WheelDown;
  } else if ((button & SgrMotion) != 0) {
    input.action = Action::Move;
  } else if (which == 0) {
    input.action = released ? Action::Release : Action::Press;
  } else {
    input.kind = TerminalInput::Kind::Nothing;
  }
  return input;
}

}  // namespace

TerminalScreen::~TerminalScreen() { stop(); }

bool TerminalScreen::start(std::string& error) {
  if (started()) return true;
  // ncursesw writes characters in the user's character set.
  std::setlocale(LC_CTYPE, "");
  utf8_ = platform::localeIsUtf8();
  platform::ignoreTerminalStop();
  if (!platform::recordTerminalModes(streams_.output)) {
    error = "standard output is not a terminal";
    return false;
  }
  session_ = newterm(nullptr, streams_.output, streams_.input);
  if (session_ == nullptr) {
    platform::forgetTerminalModes();
    error = "the terminal type is unknown to this system (TERM)";
    return false;
  }
  set_term(session_);
  if (has_colors()) start_color();
  cbreak();
  noecho();
  nonl();
  intrflush(stdscr, FALSE);
  keypad(stdscr, TRUE);
  set_escdelay(EscapeDelayMilliseconds);
  platform::disableFlowControl(streams_.output);
  def_prog_mode();
  prepareKeys();
  prepareMouse();
  prepareTitle();
  prepareRestoreSequence();
  shown_ = CellGrid();
  return true;
}

void TerminalScreen::stop() {
  if (!started()) return;
  if (mouse_) {
    send(AnyMotionOff);
    send(SgrReportsOff);
  }
  if (titles_) send(PopTitle);
  doupdate();
  flushSent();
  if (mouse_) mousemask(0, nullptr);
  endwin();
  delscreen(session_);
  session_ = nullptr;
  std::fflush(streams_.output);
  platform::forgetTerminalModes();
}

void TerminalScreen::prepareKeys() {
  for (const ModifiedKey& key : modifiedKeys()) {
    const char* sequence = capability(key.capability.c_str());
    if (sequence == nullptr) continue;
    int code = key_defined(sequence);
    if (code > 0) modifiedKeyNames_.emplace(code, key.name);
  }
}

void TerminalScreen::prepareMouse() {
  mouseinterval(0);
  mmask_t wanted = BUTTON1_PRESSED | BUTTON1_RELEASED | BUTTON4_PRESSED | BUTTON5_PRESSED |
                   REPORT_MOUSE_POSITION;
  mouse_ = mousemask(wanted, nullptr) != 0;
  if (!mouse_) return;
  send(AnyMotionOn);
  send(SgrReportsOn);
}

// A terminal with a status line of its own takes the title there;
// xterm's kind takes it as an operating-system command.
void TerminalScreen::prepareTitle() {
  const char* toStatus = capability("tsl");
  const char* fromStatus = capability("fsl");
  if (tigetflag("hs") > 0 && toStatus != nullptr && fromStatus != nullptr) {
    titleStart_ = parameterized("tsl", 0);
    titleEnd_ = fromStatus;
  } else if (tigetflag("XT") > 0) {
    titleStart_ = "\x1B]2;";
    titleEnd_ = "\x1B\\";
  }
  titles_ = !titleStart_.empty();
  if (titles_) send(PushTitle);
}

// What stop() and endwin() would send, for a signal handler that can only
// write bytes: title back, mouse reports off, keypad off, plain colours,
// cursor shown, the screen from before.
void TerminalScreen::prepareRestoreSequence() {
  std::string sequence = Cancel;
  if (titles_) sequence += PopTitle;
  if (mouse_) {
    sequence += AnyMotionOff;
    sequence += SgrReportsOff;
    std::string off = parameterized("XM", 0);
    sequence += off.empty() ? "\x1B[?1006l\x1B[?1000l" : off;
  }
  append(sequence, capability("rmkx"));
  append(sequence, capability("sgr0"));
  append(sequence, capability("cnorm"));
  append(sequence, capability("rmcup"));
  platform::setTerminalRestoreSequence(sequence);
}

platform::ConsoleSize TerminalScreen::size() const {
  if (!started()) return {};
  return {std::max(COLS, 1), std::max(LINES, 1)};
}

short TerminalScreen::pairFor(uint8_t attr) {
  if (!has_colors()) return 0;
  if (pairs_[attr] == 0) {
    CursesStyle style = cursesStyle(attr, COLORS);
    int pair = alloc_pair(style.foreground, style.background);
    pairs_[attr] = static_cast<short>(pair > 0 ? pair : 0);
  }
  return pairs_[attr];
}

void TerminalScreen::present(const CellGrid& grid, int cursorColumn, int cursorRow) {
  if (!started()) return;
  int rows = std::min(grid.rows(), LINES);
  int columns = std::min(grid.columns(), COLS);
  bool sameShape = shown_.columns() == grid.columns() && shown_.rows() == grid.rows();
  std::vector<cchar_t> cells(static_cast<std::size_t>(std::max(columns, 0)));
  int colors = has_colors() ? COLORS : 0;
  for (int row = 0; row < rows; ++row) {
    std::span<const Cell> source = grid.row(row);
    if (sameShape && std::equal(source.begin(), source.end(), shown_.row(row).begin())) continue;
    for (int column = 0; column < columns; ++column) {
      const Cell& cell = source[static_cast<std::size_t>(column)];
      char32_t character = utf8_ ? cell.character : asciiStandIn(cell.character);
      if (wcwidth(static_cast<wchar_t>(character)) != 1) character = utf8_ ? 0xFFFD : U'?';
      wchar_t text[2] = {static_cast<wchar_t>(character), L'\0'};
      CursesStyle style = cursesStyle(cell.attr, colors);
      attr_t attrs = (style.bold ? A_BOLD : A_NORMAL) | (style.reverse ? A_REVERSE : A_NORMAL);
      setcchar(&cells[static_cast<std::size_t>(column)], text, attrs, pairFor(cell.attr), nullptr);
    }
    mvwadd_wchnstr(stdscr, row, 0, cells.data(), columns);
  }
  shown_ = grid;
  bool cursorShown =
      cursorColumn >= 0 && cursorColumn < COLS && cursorRow >= 0 && cursorRow < LINES;
  curs_set(cursorShown ? 1 : 0);
  if (cursorShown) wmove(stdscr, cursorRow, cursorColumn);
  wnoutrefresh(stdscr);
  doupdate();
  flushSent();
}

void TerminalScreen::flushSent() {
  if (unsent_.empty()) return;
  std::fwrite(unsent_.data(), 1, unsent_.size(), streams_.output);
  std::fflush(streams_.output);
  unsent_.clear();
}

void TerminalScreen::setTitle(std::string_view text) {
  if (!started() || !titles_) return;
  send(titleStart_);
  send(windowTitle(text, utf8_, TitleLimit));
  send(titleEnd_);
  flushSent();
}

TerminalInput TerminalScreen::read() {
  TerminalInput input;
  if (!started() || closed_) {
    input.kind = TerminalInput::Kind::Closed;
    return input;
  }
  wint_t got = 0;
  int result = ERR;
  for (int failed = 0; failed < FailedReadsOfAClosedTerminal && result == ERR; ++failed) {
    result = wget_wch(stdscr, &got);
  }
  if (result == ERR) {
    closed_ = true;
    input.kind = TerminalInput::Kind::Closed;
    return input;
  }
  if (result == KEY_CODE_YES) {
    int code = static_cast<int>(got);
    if (code == KEY_RESIZE) {
      input.kind = TerminalInput::Kind::Resize;
      shown_ = CellGrid();
    } else if (code == KEY_MOUSE) {
      input = readMouse();
    } else {
      auto modified = modifiedKeyNames_.find(code);
      input.name = modified != modifiedKeyNames_.end() ? modified->second : keyCodeName(code);
      if (!input.name.empty()) input.kind = TerminalInput::Kind::Key;
    }
    return input;
  }
  if (got == Escape) return readEscape();
  input.kind = TerminalInput::Kind::Character;
  input.character = static_cast<char32_t>(got);
  input.name = characterName(input.character, false);
  return input;
}

// Escape alone, Alt with the key that came right after it, or an SGR mouse
// report where ncurses does not know that form.
TerminalInput TerminalScreen::readEscape() {
  TerminalInput input;
  input.kind = TerminalInput::Kind::Key;
  input.name = "Esc";
  nodelay(stdscr, TRUE);
  wint_t next = 0;
  int result = wget_wch(stdscr, &next);
  if (result == OK && next == U'[') {
    wint_t after = 0;
    int following = wget_wch(stdscr, &after);
    if (following == OK && after == U'<') return readSgrMouse();
    if (following == OK) unget_wch(static_cast<wchar_t>(after));
    if (following == KEY_CODE_YES) ungetch(static_cast<int>(after));
  }
  nodelay(stdscr, FALSE);
  if (result == OK) {
    std::string alt = characterName(static_cast<char32_t>(next), true);
    if (!alt.empty()) input.name = alt;
  } else if (result == KEY_CODE_YES) {
    ungetch(static_cast<int>(next));
  }
  return input;
}

// The rest of a report after ESC [ <, which comes in one piece: whatever
// does not read as one is dropped.
TerminalInput TerminalScreen::readSgrMouse() {
  wtimeout(stdscr, SgrReportWaitMilliseconds);
  int numbers[3] = {0, 0, 0};
  int count = 0;
  wint_t got = 0;
  int result = OK;
  for (int read = 0; read < SgrReportLimit; ++read) {
    result = wget_wch(stdscr, &got);
    if (result != OK || got == U'M' || got == U'm') break;
    if (got == U';' && count < 2) {
      ++count;
    } else if (got >= U'0' && got <= U'9') {
      numbers[count] = std::min(numbers[count] * 10 + static_cast<int>(got - U'0'), SgrNumberLimit);
    } else {
      result = ERR;
      break;
    }
  }
  wtimeout(stdscr, -1);
  if (result != OK || count != 2 || (got != U'M' && got != U'm')) return TerminalInput{};
  return sgrMouseInput(numbers[0], numbers[1], numbers[2], got == U'm');
}

TerminalInput TerminalScreen::readMouse() {
  TerminalInput input;
  MEVENT event{};
  if (getmouse(&event) != OK) return input;
  input.kind = TerminalInput::Kind::Mouse;
  input.column = event.x;
  input.row = event.y;
  mmask_t state = event.bstate;
  using Action = TerminalInput::MouseAction;
  if (state & BUTTON4_PRESSED) {
    input.action = Action::WheelUp;
  } else if (state & BUTTON5_PRESSED) {
    input.action = Action::WheelDown;
  } else if (state & BUTTON1_PRESSED) {
    input.action = Action::Press;
  } else if (state & BUTTON1_RELEASED) {
    input.action = Action::Release;
  } else if (state & BUTTON1_CLICKED) {
    input.action = Action::Click;
  } else if (state & REPORT_MOUSE_POSITION) {
    input.action = Action::Move;
  } else {
    input.kind = TerminalInput::Kind::Nothing;
  }
  return input;
}

}  // namespace orbis::terminal
