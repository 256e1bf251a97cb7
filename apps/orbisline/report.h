// The executable's one-line messages on standard error. A message names
// files and settings the user gave, whose names may hold any bytes: none
// of them reaches the terminal as a control, and a message stays one line.
#pragma once

#include <string>
#include <string_view>

namespace orbis::app {

// Writes "orbisline: MESSAGE" and a line feed to standard error.
void reportError(const std::string& message);

// Says why standard output could not be written (error, an errno value) and
// returns 1. A reader that closed the pipe (with SIGPIPE ignored, or it
// would have ended the process) asked for no more output: no message.
int reportOutputFailure(int error);

// A message as it may be shown: for a UTF-8 terminal or locale (utf8), its
// UTF-8 with the C0 controls and DEL as control pictures and C1 controls
// and invalid bytes as U+FFFD; else its bytes with every control, C0 or
// C1, as "?".
std::string shownMessage(std::string_view message, bool utf8);

}  // namespace orbis::app
