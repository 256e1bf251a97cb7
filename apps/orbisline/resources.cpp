#include "resources.h"

#include "platform/loaded_module.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/text_file.h"

namespace orbis::app {

namespace {

constexpr const char* ModuleName = "Orbisline";
constexpr const char* InstalledModule = "../lib/orbisline/";
constexpr const char* BuildPages = "share/orbisline/";
constexpr const char* InstalledPages = "../share/orbisline/";
constexpr const char* FirstPage = "index.html";

// The path as written, but without a "bin/../" detour, so that messages and
// titles show the installed layout plainly.
std::string besideParent(const std::string& directory, const std::string& relative) {
  const std::string up = "../";
  if (relative.rfind(up, 0) != 0 || directory.size() < 2) return directory + relative;
  std::size_t slash = directory.rfind('/', directory.size() - 2);
  if (slash == std::string::npos) return directory + relative;
  return directory.substr(0, slash + 1) + relative.substr(up.size());
}

}  // namespace

std::string pluginModulePath() {
  std::string named = platform::environmentVariable("ORBISLINE_PLUGIN");
  if (!named.empty()) return named;
  std::string directory = platform::executableDirectory();
  std::string file = std::string(ModuleName) + platform::ModuleExtension;
  std::string beside = directory + file;
  if (platform::isRegularFile(beside)) return beside;
  std::string installed = besideParent(directory, std::string(InstalledModule) + file);
  return platform::isRegularFile(installed) ? installed : beside;
}

std::string pluginModuleDirectory() { return platform::directoryOf(pluginModulePath()); }

std::string welcomePage() {
  std::string directory = platform::executableDirectory();
  if (directory.empty()) return {};
  for (const char* folder : {BuildPages, InstalledPages}) {
    std::string page = besideParent(directory, std::string(folder) + FirstPage);
    if (platform::isRegularFile(page)) return page;
  }
  return {};
}

}  // namespace orbis::app
