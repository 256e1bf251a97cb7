// The console a Windows host shares with its plug-in module. The module
// measures the screen buffer of standard output, so the host makes a buffer
// of the size it wants that standard output; the C runtime's own standard
// output keeps the handle it started with, so what the program prints still
// goes where it went. The module sets titles by calling SetConsoleTitleA
// through its import table, where the host puts a recorder of its own.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/host_console.h"
#include "platform/win32/module_imports.h"

namespace orbis::platform {

namespace {

// Set in the environment of the run that runInOwnConsole starts, so that a
// console that still cannot be had never starts another.
constexpr const char* RerunMark = "ORBISLINE_OWN_CONSOLE";
// The status of a run started for its console that found none (wine now
// and then fails to make one); an application's own code, as the system
// reserves bit 29 for them. The first run then tries again.
constexpr DWORD NoConsoleStatus = 0x20000001;
constexpr int Attempts = 3;

bool hasConsole() {
  HANDLE output =
      CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (output == INVALID_HANDLE_VALUE) return false;
  CloseHandle(output);
  return true;
}

std::wstring ownPath() {
  std::vector<wchar_t> path(MAX_PATH + 1);
  while (true) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return std::wstring(path.data(), length);
    path.resize(path.size() * 2);
  }
}

// The standard handles as the new run inherits them.
void passStandardHandles(STARTUPINFOW& startup) {
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
      SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    }
  }
}

SMALL_RECT windowOf(int columns, int rows) {
  return SMALL_RECT{0, 0, static_cast<SHORT>(columns - 1), static_cast<SHORT>(rows - 1)};
}

// The buffer's window and size, in the order that keeps the window inside
// the buffer at every step: the window shrinks where it must, the buffer
// takes its size, the window grows to the whole buffer.
bool resizeBuffer(HANDLE buffer, ConsoleSize size) {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(buffer, &info)) return false;
  SMALL_RECT within = windowOf(std::min(size.columns, info.srWindow.Right - info.srWindow.Left + 1),
                               std::min(size.rows, info.srWindow.Bottom - info.srWindow.Top + 1));
  SMALL_RECT whole = windowOf(size.columns, size.rows);
  COORD cells{static_cast<SHORT>(size.columns), static_cast<SHORT>(size.rows)};
  return SetConsoleWindowInfo(buffer, TRUE, &within) && SetConsoleScreenBufferSize(buffer, cells) &&
         SetConsoleWindowInfo(buffer, TRUE, &whole);
}

// The one buffer this process gives its size to; made on first use.
HANDLE sizedBuffer() {
  static HANDLE buffer =
      CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, CONSOLE_TEXTMODE_BUFFER, nullptr);
  return buffer;
}

// Why this process has no console, when runInOwnConsole could not give it
// one; said when the console is missed.
std::string missingConsole;

std::string errorText(const char* what, DWORD error) {
  return std::string(what) + " (error " + std::to_string(error) + ")";
}

std::string sizeText(int columns, int rows) {
  return std::to_string(columns) + " by " + std::to_string(rows);
}

// Runs the program again, in a console of its own without a window, and
// waits for its status; nothing (the system's error in failure) when it
// cannot be started.
std::optional<DWORD> runAgain(DWORD& failure) {
  std::wstring program = ownPath();
  const wchar_t* given = GetCommandLineW();
  std::vector<wchar_t> commandLine(given, given + wcslen(given) + 1);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  passStandardHandles(startup);
  PROCESS_INFORMATION process{};
  if (program.empty() ||
      !CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                      nullptr, nullptr, &startup, &process)) {
    failure = GetLastError();
    return std::nullopt;
  }
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = NoConsoleStatus;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  failure = ERROR_INVALID_HANDLE;  // what a run without a console met
  return status;
}

// Reports to this program's title listener and sets the title. What the
// system answers concerns no caller: the module ignores it.
BOOL WINAPI recordConsoleTitle(LPCSTR title) {
  setConsoleTitle(title);
  return TRUE;
}

}  // namespace

std::optional<int> runInOwnConsole() {
  if (hasConsole()) return std::nullopt;
  if (GetEnvironmentVariableA(RerunMark, nullptr, 0) > 0) return static_cast<int>(NoConsoleStatus);
  SetEnvironmentVariableA(RerunMark, "1");
  DWORD failure = 0;
  for (int attempt = 0; attempt < Attempts; ++attempt) {
    std::optional<DWORD> status = runAgain(failure);
    if (status && *status != NoConsoleStatus) return static_cast<int>(*status);
  }
  // This run goes on, and says what it lacks.
  missingConsole = errorText("no console of its own could be had", failure);
  return std::nullopt;
}

bool fixConsoleSize(ConsoleSize size, std::string& error) {
  HANDLE buffer = sizedBuffer();
  DWORD failure = GetLastError();
  if (buffer == INVALID_HANDLE_VALUE) {
    error = "there is no console to give the size " + sizeText(size.columns, size.rows);
    error = errorText(error.c_str(), failure);
    if (!missingConsole.empty()) error.append(": ").append(missingConsole);
    return false;
  }
  bool resized = resizeBuffer(buffer, size);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(buffer, &info)) resized = false;
  if (!resized || info.dwMaximumWindowSize.X != size.columns ||
      info.dwMaximumWindowSize.Y != size.rows) {
    COORD largest = GetLargestConsoleWindowSize(buffer);
    error = "the console cannot be " + sizeText(size.columns, size.rows) +
            " here: its window is at most " + sizeText(largest.X, largest.Y);
    return false;
  }
  SetStdHandle(STD_OUTPUT_HANDLE, buffer);
  return true;
}

bool observeConsoleTitles(LoadedModule& module, std::string& error) {
  auto* handle = static_cast<HMODULE>(module.nativeHandle());
  // Through the one function type that any function pointer converts to.
  auto recorder = reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(recordConsoleTitle));
  if (handle != nullptr && replaceImportedFunction(handle, "SetConsoleTitleA", recorder) >= 0) {
    return true;
  }
  error = "cannot watch the window titles of the plug-in module: its import table is unreadable";
  return false;
}

}  // namespace orbis::platform
