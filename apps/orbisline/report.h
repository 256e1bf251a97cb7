// The executable's one-line messages on standard error.
#pragma once

#include <string>

namespace orbis::app {

// Writes "orbisline: MESSAGE" and a line feed to standard error.
void reportError(const std::string& message);

// Says why standard output could not be written (error, an errno value) and
// returns 1. A reader that closed the pipe (with SIGPIPE ignored, or it
// would have ended the process) asked for no more output: no message.
int reportOutputFailure(int error);

}  // namespace orbis::app
