// The host's version: read from the text the host executable carries, kept
// as one number with the major part in the low 16 bits and the minor part in
// the high 16 bits.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orbis::host {

constexpr uint32_t makeVersion(uint16_t major, uint16_t minor) {
  return uint32_t{major} | (uint32_t{minor} << 16);
}
constexpr uint16_t versionMajor(uint32_t version) {
  return static_cast<uint16_t>(version & 0xFFFF);
}
constexpr uint16_t versionMinor(uint32_t version) { return static_cast<uint16_t>(version >> 16); }

// Digits before the first full stop make the major number, all digits after
// it the minor one (so "1.70.2" is 1.702); other characters are skipped.
// Both parts are 16-bit and wrap.
uint32_t parseVersion(const char* text, std::size_t length);

// The version of the host the plug-in runs in; 0 (0.0) when the host
// carries none.
uint32_t readFarVersion();

// True when the host's version (PluginState::farVersion) is at least
// major.minor.
bool versionAtLeast(uint16_t major, uint16_t minor);

}  // namespace orbis::host
