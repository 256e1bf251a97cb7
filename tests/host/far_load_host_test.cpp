#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/fake_host.h"
#include "host/far_load_host.h"

namespace orbis {
namespace {

// What a load shows becomes the host's message boxes: the progress box with
// no button, first drawn plain and then over its own background, the
// time-out warning with its two buttons, and the whole screen saved under
// them.
TEST(FarLoadHostTest, ALoadShowsItselfThroughTheHostsMessageBoxes) {
  testing::FakeHost host;
  PluginStartupInfo startup = host.startupInfo();
  host::FarLoadHost farLoadHost(startup);
  LoadHost* shown = &farLoadHost;

  shown->saveScreen();
  shown->showProgress("[bar]", false);
  shown->showProgress("[bar]", true);
  shown->restoreScreen();
  const std::vector<std::string> expected = {
      "SAVE 0 0 -1 -1",
      "MESSAGE 5 0 \"Orbisline\" \"[bar]\" 0",
      "MESSAGE 5 4 \"Orbisline\" \"[bar]\" 0",
      "RESTORE",
  };
  EXPECT_EQ(host.calls, expected);

  // Resume is the first button; Terminate and a box closed without a
  // choice (Escape) stop the parse.
  const std::pair<int, bool> answers[] = {{0, true}, {1, false}, {-1, false}};
  for (auto [answer, resumes] : answers) {
    host.calls.clear();
    host.messageAnswer = answer;
    EXPECT_EQ(shown->askResume(), resumes) << answer;
    EXPECT_EQ(host.calls,
              std::vector<std::string>{"MESSAGE 5 1 \"Warning\" \"Oops! Time Out ... please "
                                       "report about\" \"Resume\" \"Terminate\" 2"});
  }
}

}  // namespace
}  // namespace orbis
