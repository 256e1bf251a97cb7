// The terminal a full-screen program draws on: its streams, its modes, and
// its restoration when a signal ends the program while the screen is up.
//
// A program that takes over a terminal changes its modes and sends it
// sequences (another screen, a hidden cursor, mouse reports, a window
// title). On a normal end it undoes them itself; when a signal ends the
// program, the temporary-file cleanup first calls this file's restoration,
// which writes bytes prepared while the program ran and brings back the
// modes the terminal had before.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace orbis::platform {

struct TerminalStreams {
  std::FILE* input = nullptr;   // the keyboard
  std::FILE* output = nullptr;  // the screen
  bool ownsInput = false;       // input is the controlling terminal, opened here
};

// The screen is standard output, which must be a terminal. The keyboard is
// standard input when that is a terminal, else the controlling terminal
// (/dev/tty), so that a page can come through a pipe. False with a short
// reason in error when there is no terminal to draw on or read from.
bool openTerminalStreams(TerminalStreams& streams, std::string& error);
void closeTerminalStreams(TerminalStreams& streams);

// Keeps Ctrl-S and Ctrl-Q from stopping and starting the output, so that
// they reach the program as keys. False when the modes cannot be changed.
bool disableFlowControl(std::FILE* terminal);

// Makes the suspend key (Ctrl-Z) do nothing: a full-screen program that is
// stopped would leave modes behind that its terminal library does not know
// to undo (mouse motion reports, a pushed window title).
void ignoreTerminalStop();

// Records the modes the terminal has now, to be brought back when a signal
// ends the program; from now on the signal cleanup restores them first.
// Call before changing them. False when terminal is no terminal.
bool recordTerminalModes(std::FILE* terminal);

// The bytes that the signal cleanup writes to the terminal before bringing
// back its modes; at most 1024 bytes are kept. Replaces what was set before.
void setTerminalRestoreSequence(std::string_view sequence);

// The terminal has been restored the normal way: signals leave it alone.
void forgetTerminalModes();

// Ends the process as a hangup of its terminal does, by SIGHUP, for a
// program that found its terminal gone without being sent one. Returns
// only when SIGHUP is ignored.
void endAsHangup();

}  // namespace orbis::platform
