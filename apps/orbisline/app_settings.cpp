#include "app_settings.h"

#include <unistd.h>

#include <vector>

#include "markup/byte_source.h"
#include "platform/text_file.h"

namespace orbis::app {

namespace {

// The directory of the running executable with its trailing slash; empty
// when it cannot be found.
std::string executableDirectory() {
  std::vector<char> path(4096);
  while (true) {
    ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < path.size()) {
      std::string text(path.data(), static_cast<std::size_t>(length));
      std::size_t slash = text.rfind('/');
      return slash == std::string::npos ? std::string() : text.substr(0, slash + 1);
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

std::unique_ptr<Settings> loadSettings(const std::string& settingsFile, std::string& error) {
  if (settingsFile.empty()) {
    std::string directory = executableDirectory();
    if (!directory.empty()) return std::make_unique<Settings>(directory);
    // Not the current directory's settings: those belong to someone else.
    ByteSource nothing;
    return Settings::fromSource(nothing);
  }
  // An empty file is readable: it means the built-in settings.
  platform::TextFile file;
  if (!file.open(settingsFile.c_str())) {
    error = "cannot read the settings file " + settingsFile + ": " + file.lastError();
    return nullptr;
  }
  file.close();
  return Settings::fromFile(settingsFile);
}

}  // namespace orbis::app
