// Shared set-up for the settings tests: the palette is read from an empty
// scratch registry, so the built-in table applies whatever the machine's own
// registry folder holds, and settings are loaded from text in memory.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string_view>

#include "config/settings.h"
#include "markup/byte_source.h"
#include "platform/scoped_environment.h"

namespace orbis::testing {

inline std::unique_ptr<Settings> loadSettings(std::string_view text) {
  MemorySource source(text.data(), static_cast<int64_t>(text.size()));
  return Settings::fromSource(source);
}

class SettingsTest : public ::testing::Test {
protected:
  ScratchFolder registry;
  ScopedEnvironment registryVariable{"ORBISLINE_REGISTRY", registry.path().c_str()};
};

}  // namespace orbis::testing
