#include "platform/process.h"

#include <langinfo.h>
#include <locale.h>
#include <strings.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/paths.h"

namespace orbis::platform {

std::string executablePath() {
  std::vector<char> path(4096);
  while (true) {
    ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length < 0) return {};
    // readlink does not say when it cut the name: a full buffer may be one.
    if (static_cast<std::size_t>(length) < path.size()) {
      return std::string(path.data(), static_cast<std::size_t>(length));
    }
    path.resize(path.size() * 2);
  }
}

std::string executableDirectory() { return directoryOf(executablePath()); }

std::string environmentVariable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

std::string userConfigDirectory() {
  std::string base = environmentVariable("XDG_CONFIG_HOME");
  if (base.empty() || base[0] != '/') {
    std::string home = environmentVariable("HOME");
    if (home.empty()) return {};
    base = home + "/.config";
  }
  if (base.back() != '/') base += '/';
  return base;
}

void writeStandardStreamsAsBytes() {}

bool isTerminal(StandardStream stream) {
  switch (stream) {
    case StandardStream::Input:
      return isatty(STDIN_FILENO) != 0;
    case StandardStream::Output:
      return isatty(STDOUT_FILENO) != 0;
    case StandardStream::Error:
      return isatty(STDERR_FILENO) != 0;
  }
  return false;
}

bool localeIsUtf8() {
  // A locale object of its own leaves the process's locale as it is, so
  // that nothing else in the process changes with the user's settings.
  locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) {
    return false;
  }
  const char* codeset = nl_langinfo_l(CODESET, locale);
  bool utf8 =
      codeset != nullptr && (strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "UTF8") == 0);
  freelocale(locale);
  return utf8;
}

}  // namespace orbis::platform
