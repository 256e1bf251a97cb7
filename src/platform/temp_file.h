// Temporary files for rendered documents, and their removal on every way out
// of the process (normal end, Ctrl-C, a closed terminal).
#pragma once

#include <string>

namespace orbis::platform {

// Creates a new empty file with a unique name beginning with prefix in
// $TMPDIR (else /tmp), mode 0600, never following a planted link. Stores its
// full path and returns true; false when no file could be made.
bool createTempFile(const char* prefix, std::string& path);

// Deletes a file made by createTempFile; false when it could not be removed.
bool deleteTempFile(const std::string& path);

// Makes SIGINT, SIGTERM, SIGHUP and SIGQUIT remove every temporary file that
// still exists before the process ends. Safe to call more than once.
void installTempFileCleanup();

}  // namespace orbis::platform
