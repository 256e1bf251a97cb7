// Temporary files for rendered documents, and their removal on every way out
// of the process (normal end, Ctrl-C, a closed terminal, a closed pipe, a
// crash that a handler can still act on).
#pragma once

#include <cstdio>
#include <string>

namespace orbis::platform {

// The beginning of the name of every temporary file the program makes.
constexpr const char* TempFilePrefix = "~ob";

// Creates a new empty file with a unique name beginning with prefix in
// tempFileDirectory(), mode 0600, never following a planted link. Stores its
// full path and returns true; false (errno set, path unchanged) when no file
// could be made. suffix ends the name (an extension such as ".htm").
bool createTempFile(const char* prefix, std::string& path, const char* suffix = "");

// The directory of the temporary files, as the user named it: $TMPDIR, else
// /tmp.
std::string tempFileDirectory();

enum class TempFileAccess { Read, Write };

// Opens a file that createTempFile made, at its first byte, through the
// descriptor that created it: the name is not looked up again, so nothing
// put in the file's place meanwhile is ever read or written. Write empties
// the file first. Null (errno set) when path is not such a file that still
// exists; the caller closes the stream.
std::FILE* openTempFile(const std::string& path, TempFileAccess access);

// Deletes a file made by createTempFile; false when it could not be removed.
bool deleteTempFile(const std::string& path);

// Makes SIGINT, SIGTERM, SIGHUP, SIGQUIT and SIGPIPE remove every temporary
// file that still exists, then end the process by the same signal. A signal
// that was ignored when the process started stays ignored. The faults
// (SIGSEGV, SIGBUS, SIGFPE, SIGILL) and SIGABRT remove them too, then go on
// to whatever handled them before (the default, or a sanitizer's report).
// SIGXFSZ is ignored, so that a write past the file-size limit fails with
// EFBIG instead of ending the process. Safe to call more than once.
void installTempFileCleanup();

// A function the cleanup calls first, on the thread that got the signal
// (null: none). It must be async-signal-safe: the terminal's restoration,
// for example, which must not wait for the files.
using SignalCleanupHook = void (*)();
void setSignalCleanupHook(SignalCleanupHook hook);

}  // namespace orbis::platform
