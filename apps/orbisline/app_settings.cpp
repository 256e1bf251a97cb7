#include "app_settings.h"

#include "markup/byte_source.h"
#include "platform/text_file.h"
#include "resources.h"

namespace orbis::app {

std::unique_ptr<Settings> loadSettings(const std::string& settingsFile, std::string& error) {
  if (settingsFile.empty()) {
    std::string directory = pluginModuleDirectory();
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
