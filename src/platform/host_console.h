// What a host does to the console it shares with the plug-in module it
// loads: give the console the size the module will lay pages out at, and see
// the window titles the module sets. On POSIX both live in the process's
// shared home (shared/console.h), which the module uses too; on Windows the
// console is the system's, which the module asks itself, so the host sizes
// it through the console API and sees the titles by standing in for the
// system's function in the module's import table.
#pragma once

#include <optional>
#include <string>

#include "platform/loaded_module.h"
#include "platform/shared/console.h"

namespace orbis::platform {

// When the process has no console to share (a Windows program started from
// a pipe, as under wine), runs the program again with the same command line
// and standard streams in a console of its own that has no window, and
// returns the exit status of that run; nothing when the process has one
// (always on POSIX). Call before anything is read or written.
std::optional<int> runInOwnConsole();

// Makes size the console size that consoleMaxWindowSize reports, to this
// program and to the modules it loads. False with a one-line reason in
// error when the console cannot be that size.
bool fixConsoleSize(ConsoleSize size, std::string& error);

// From now on each window title that module sets also reaches the console
// title listener (setConsoleTitleListener). Call after loading the module
// and before its first entry point. False with a one-line reason in error.
bool observeConsoleTitles(LoadedModule& module, std::string& error);

}  // namespace orbis::platform
