// The timing report that benchmarks read while the viewer runs: its lines
// and when each is written.
#include "terminal_host/event_timing.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/scoped_environment.h"

namespace orbis::terminal {
namespace {

// The lines of the report, each without its number, which must be there.
std::vector<std::string> readLines(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    std::size_t blank = line.rfind(' ');
    bool timed = blank != std::string::npos && blank + 1 < line.size() &&
                 line.find_first_not_of("0123456789", blank + 1) == std::string::npos;
    lines.push_back(timed ? line.substr(0, blank) : line + " (no time)");
  }
  return lines;
}

TEST(EventTimingTest, OneLineForTheFirstPageAndOneForEachInputThatDrew) {
  orbis::testing::ScratchFolder folder;
  std::filesystem::path path = folder.path() / "timing";
  orbis::testing::ScopedEnvironment variable("ORBISLINE_TIMING", path.c_str());
  EventTiming timing(EventTiming::Clock::now());
  timing.screenUpdated();  // a progress box: no page yet
  timing.screenUpdated();
  timing.pageShown();
  timing.pageShown();
  timing.inputRead("Down");
  timing.screenUpdated();
  timing.screenUpdated();
  // Written once the host waits again, so a reader can wait for it.
  EXPECT_EQ(readLines(path), std::vector<std::string>{"open"});
  timing.inputDone();
  timing.inputRead("move:3,4");  // nothing changed on the screen
  timing.inputRead("resize:100x30");
  timing.screenUpdated();
  timing.inputDone();
  std::vector<std::string> expected = {"open", "event Down", "event resize:100x30"};
  EXPECT_EQ(readLines(path), expected);
}

}  // namespace
}  // namespace orbis::terminal
