// The terminal, through ncurses: a screen that shows a CellGrid, the
// keyboard and the mouse, and the window title.
//
// Nothing reaches the terminal before start(): a program that never starts
// the screen leaves the terminal untouched. From start() until stop(), a
// signal that ends the program finds the terminal restored by the
// platform's signal cleanup (with the sequences prepared here). The mouse
// reports every movement, not only those with a button down, in the SGR
// form where the terminal has it (any column), else in the classic one.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/shared/console.h"
#include "platform/terminal.h"
#include "terminal_host/cell_grid.h"

struct screen;

namespace orbis::terminal {

// One thing the user did.
struct TerminalInput {
  enum class Kind {
    Nothing,    // nothing the host knows (another mouse button, say)
    Key,        // name: the key-script name
    Character,  // character typed; name: its key-script name, or empty
    Mouse,      // action at column, row
    Resize,     // the terminal has a new size
    Closed,     // the terminal is gone: nothing more will come
  };
  enum class MouseAction { Move, Press, Release, Click, WheelUp, WheelDown };
  Kind kind = Kind::Nothing;
  std::string name;
  char32_t character = 0;
  MouseAction action = MouseAction::Move;
  int column = 0;
  int row = 0;
};

class TerminalScreen {
public:
  // The streams are not closed here.
  explicit TerminalScreen(platform::TerminalStreams streams) : streams_(streams) {}
  ~TerminalScreen();
  TerminalScreen(const TerminalScreen&) = delete;
  TerminalScreen& operator=(const TerminalScreen&) = delete;

  // Whether the terminal's type is known and can move the cursor anywhere,
  // so that start() can succeed, found without sending it anything. False
  // with a short reason naming TERM.
  bool usable(std::string& error) const;
  // Takes the terminal over (at most once). False with a short reason in
  // error when the terminal cannot be used.
  bool start(std::string& error);
  // Gives the terminal back as it was. Safe to call more than once.
  void stop();
  bool started() const { return session_ != nullptr; }
  // True once reading found the terminal gone (a closed window).
  bool closed() const { return closed_; }

  // The terminal's size (once started).
  platform::ConsoleSize size() const;
  // Whether the terminal shows UTF-8, and so more than ASCII.
  bool utf8() const { return utf8_; }

  // Shows grid (rows and columns past the terminal's are cut) with the
  // cursor at column, row, or hidden when column is negative. Only rows
  // that changed since the last time are sent.
  void present(const CellGrid& grid, int cursorColumn, int cursorRow);
  // Sets the terminal's window title to a host text, where the terminal
  // has one.
  void setTitle(std::string_view text);

  // Waits for the next input.
  TerminalInput read();

private:
  // Sequences of our own go out after ncurses has sent what it holds, so
  // they keep their place after its own (the mouse mode after ncurses's).
  void send(std::string_view sequence) { unsent_ += sequence; }
  void flushSent();
  void prepareKeys();
  void prepareMouse();
  void prepareTitle();
  void prepareRestoreSequence();
  short pairFor(uint8_t attr);
  TerminalInput readEscape();
  TerminalInput readMouse();
  TerminalInput readSgrMouse();

  platform::TerminalStreams streams_;
  ::screen* session_ = nullptr;
  bool utf8_ = false;
  bool mouse_ = false;
  bool titles_ = false;  // the terminal has a window title we can set
  bool closed_ = false;
  std::string unsent_;
  std::string titleStart_;
  std::string titleEnd_;
  std::unordered_map<int, std::string> modifiedKeyNames_;
  std::array<short, 256> pairs_{};  // 0: not made yet
  CellGrid shown_;
};

}  // namespace orbis::terminal
