// Facts about the process on Windows. Settings are not looked for in a
// user's folder there: the host's users keep them beside the plug-in.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/paths.h"
#include "platform/process.h"

namespace orbis::platform {

std::string executablePath() {
  std::vector<char> path(MAX_PATH + 1);
  while (true) {
    DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    // A full buffer may hold a cut name.
    if (length < path.size()) return std::string(path.data(), length);
    path.resize(path.size() * 2);
  }
}

std::string executableDirectory() { return directoryOf(executablePath()); }

std::string environmentVariable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

std::string userConfigDirectory() { return {}; }

void writeStandardStreamsAsBytes() {
  std::fflush(stdout);
  std::fflush(stderr);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

// A console, not merely a character device: the C runtime's isatty also
// says yes for NUL and a serial port.
bool isTerminal(StandardStream stream) {
  FILE* file = stream == StandardStream::Input    ? stdin
               : stream == StandardStream::Output ? stdout
                                                  : stderr;
  auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && GetFileType(handle) == FILE_TYPE_CHAR &&
         GetConsoleMode(handle, &mode) != 0;
}

bool localeIsUtf8() { return GetConsoleOutputCP() == CP_UTF8; }

}  // namespace orbis::platform
