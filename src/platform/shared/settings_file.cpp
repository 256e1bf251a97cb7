#include "platform/shared/settings_file.h"

#include <mutex>
#include <utility>

namespace orbis::platform {

namespace {

std::mutex overrideMutex;
std::string overridePath;

}  // namespace

bool setSettingsFileOverride(std::string path) {
  std::lock_guard<std::mutex> lock(overrideMutex);
  overridePath = std::move(path);
  return true;
}

std::string settingsFileOverride() {
  std::lock_guard<std::mutex> lock(overrideMutex);
  return overridePath;
}

}  // namespace orbis::platform
