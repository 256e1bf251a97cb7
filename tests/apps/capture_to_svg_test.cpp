// The tool that turns a terminal capture into the README's picture is a
// Python script with its own checks; they run here with the rest.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace orbis {
namespace {

TEST(CaptureToSvg, PassesItsOwnChecks) {
  if (std::system("command -v python3 >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "python3 is not installed";
  }
  std::FILE* pipe =
      popen("python3 -B '" ORBIS_SOURCE_DIR "/tools/test_capture_to_svg.py' 2>&1", "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char block[4096];
  for (size_t n; (n = std::fread(block, 1, sizeof block, pipe)) > 0;) output.append(block, n);
  int status = pclose(pipe);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
}

}  // namespace
}  // namespace orbis
