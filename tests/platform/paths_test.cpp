#include "platform/paths.h"

#include <gtest/gtest.h>

namespace orbis::platform {
namespace {

// Names come from both systems (a module's path, a page's links), so both
// separators end a directory.
TEST(PathsTest, TheDirectoryEndsAtTheLastSeparatorOfEitherKind) {
  struct Case {
    const char* path;
    const char* directory;
  };
  const Case cases[] = {
      {"/usr/lib/orbisline/Orbisline.so", "/usr/lib/orbisline/"},
      {"C:\\Far\\Plugins\\Orbisline.dll", "C:\\Far\\Plugins\\"},
      {"/mixed\\dir/Orbisline.so", "/mixed\\dir/"},
      {"C:\\mixed/dir\\Orbisline.dll", "C:\\mixed/dir\\"},
      {"/Orbisline.so", "/"},
      {"dir/", "dir/"},
      {"Orbisline.so", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(directoryOf(c.path), c.directory) << c.path;
}

}  // namespace
}  // namespace orbis::platform
