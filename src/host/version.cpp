#include "host/version.h"

#include <string>

#include "host/plugin_state.h"
#include "platform/host_version.h"

namespace orbis::host {

uint32_t parseVersion(const char* text, std::size_t length) {
  uint16_t major = 0;
  uint16_t minor = 0;
  bool afterStop = false;
  for (std::size_t i = 0; text != nullptr && i < length; ++i) {
    char c = text[i];
    if (c == '.') {
      afterStop = true;
    } else if (c >= '0' && c <= '9') {
      uint16_t& part = afterStop ? minor : major;
      part = static_cast<uint16_t>(part * 10 + (c - '0'));
    }
  }
  return makeVersion(major, minor);
}

uint32_t readFarVersion() {
  std::string text;
  if (!platform::readHostFileVersion(text)) return 0;
  return parseVersion(text.data(), text.size());
}

bool versionAtLeast(uint16_t major, uint16_t minor) {
  uint32_t version = pluginState().farVersion;
  return versionMajor(version) > major ||
         (versionMajor(version) == major && versionMinor(version) >= minor);
}

}  // namespace orbis::host
