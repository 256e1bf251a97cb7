#include "config/settings_sources.h"

#include "markup/byte_source.h"
#include "platform/process.h"
#include "platform/text_file.h"

namespace orbis {

namespace {

constexpr const char* UserSettingsFile = "orbisline/Orbisline.obs";

std::string userSettingsFile() {
  std::string directory = platform::userConfigDirectory();
  if (directory.empty()) return {};
  std::string path = directory + UserSettingsFile;
  return platform::isRegularFile(path) ? path : std::string();
}

}  // namespace

std::unique_ptr<Settings> loadSettings(const std::string& namedFile,
                                       const std::string& moduleDirectory, std::string& error) {
  std::string file = namedFile.empty() ? userSettingsFile() : namedFile;
  if (!file.empty()) {
    platform::TextFile probe;
    if (!probe.open(file.c_str())) {
      error = "cannot read the settings file " + file + ": " + probe.lastError();
      return nullptr;
    }
    probe.close();
    return Settings::fromFile(file);
  }
  // Not the current directory's settings: those belong to someone else.
  if (moduleDirectory.empty()) return builtInSettings();
  return std::make_unique<Settings>(moduleDirectory);
}

std::unique_ptr<Settings> builtInSettings() {
  ByteSource nothing;
  return Settings::fromSource(nothing);
}

}  // namespace orbis
