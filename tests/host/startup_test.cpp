#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "config/settings.h"
#include "host/fake_host.h"
#include "host/plugin.h"
#include "platform/scoped_environment.h"
#include "platform/settings_file.h"

namespace orbis::host {
namespace {

TEST(StartupTest, TheModulesDirectoryEndsAtItsLastSeparatorOfEitherKind) {
  struct Case {
    const char* moduleName;
    const char* directory;
  };
  const Case cases[] = {
      {"/usr/lib/orbisline/Orbisline.so", "/usr/lib/orbisline/"},
      {"C:\\Far\\Plugins\\Orbisline.dll", "C:\\Far\\Plugins\\"},
      {"/mixed\\dir/Orbisline.so", "/mixed\\dir/"},
      {"C:\\mixed/dir\\Orbisline.dll", "C:\\mixed/dir\\"},
      {"/Orbisline.so", "/"},
      {"Orbisline.so", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(moduleDirectory(c.moduleName), c.directory) << c.moduleName;
  }
}

// The settings come from the override when the host set one, else from the
// module's directory; a module whose directory is unknown reads no file.
TEST(StartupTest, SettingsComeFromTheOverrideOrTheModulesDirectory) {
  testing::ScratchFolder module;
  testing::ScratchFolder elsewhere;
  std::ofstream(module.path() / "Orbisline.obs") << "<Orbisline exts='mod '></Orbisline>";
  std::string other = (elsewhere.path() / "other.obs").string();
  std::ofstream(other) << "<Orbisline exts='other '></Orbisline>";
  std::string modulePath = (module.path() / "Orbisline.so").string();

  struct Case {
    std::string moduleName;
    std::string override;
    const char* exts;
  };
  const Case cases[] = {
      {modulePath, "", "mod "},
      {modulePath, other, "other "},
      {"Orbisline.so", "", "htm html "},
  };
  testing::FakeHost host;
  for (const Case& c : cases) {
    platform::setSettingsFileOverride(c.override);
    PluginStartupInfo startup = host.startupInfo(c.moduleName.c_str());
    SetStartupInfo(&startup);
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->exts, c.exts) << c.moduleName << " override '" << c.override << "'";
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
