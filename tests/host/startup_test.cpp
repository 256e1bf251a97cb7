#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "config/settings.h"
#include "host/fake_host.h"
#include "host/plugin_state.h"
#include "platform/scoped_environment.h"
#include "platform/shared/settings_file.h"

namespace orbis::host {
namespace {

// The settings come from the override when the host set one, else from the
// user's own file, else from the module's directory; a module whose
// directory is unknown reads no file.
TEST(StartupTest, SettingsComeFromTheOverrideTheUsersFileOrTheModulesDirectory) {
  testing::ScratchFolder module;
  testing::ScratchFolder elsewhere;
  testing::ScratchFolder config;
  testing::ScopedEnvironment configHome("XDG_CONFIG_HOME", config.path().c_str());
  std::ofstream(module.path() / "Orbisline.obs") << "<Orbisline exts='mod '></Orbisline>";
  std::string other = (elsewhere.path() / "other.obs").string();
  std::ofstream(other) << "<Orbisline exts='other '></Orbisline>";
  std::string modulePath = (module.path() / "Orbisline.so").string();

  std::filesystem::path user = config.path() / "orbisline" / "Orbisline.obs";
  struct Case {
    std::string moduleName;
    std::string override;
    bool userFile;
    const char* exts;
  };
  const Case cases[] = {
      {modulePath, "", false, "mod "},          {modulePath, other, false, "other "},
      {"Orbisline.so", "", false, "htm html "}, {modulePath, "", true, "user "},
      {modulePath, other, true, "other "},      {"Orbisline.so", "", true, "user "},
  };
  testing::FakeHost host;
  const std::unique_ptr<Settings>& settings = pluginState().settings;
  for (const Case& c : cases) {
    std::filesystem::remove_all(config.path() / "orbisline");
    if (c.userFile) {
      std::filesystem::create_directories(user.parent_path());
      std::ofstream(user) << "<Orbisline exts='user '></Orbisline>";
    }
    platform::setSettingsFileOverride(c.override);
    PluginStartupInfo startup = host.startupInfo(c.moduleName.c_str());
    SetStartupInfo(&startup);
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->exts, c.exts)
        << c.moduleName << " override '" << c.override << "' user file " << c.userFile;
    // A second start-up keeps the settings it has.
    platform::setSettingsFileOverride(other);
    SetStartupInfo(&startup);
    EXPECT_EQ(settings->exts, c.exts);
    ExitFAR();
    EXPECT_EQ(settings, nullptr);
  }
  platform::setSettingsFileOverride("");
}

}  // namespace
}  // namespace orbis::host
