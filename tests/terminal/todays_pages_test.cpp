// Pages written the way pages are written today, in a real terminal: a
// contents list that links to its sections by id, and a link that cannot
// be followed saying so until the next key.
#include <filesystem>
#include <string>

#include "viewer_fixture.h"

namespace orbis {
namespace {

using orbis::testing::Launch;
using orbis::testing::PageColours;
using orbis::testing::ViewerTest;

using TodaysPagesTest = ViewerTest;

// The tutorial's own contents link to "for Statements" puts that heading
// on the screen, its line at the top.
TEST_F(TodaysPagesTest, AContentsLinkGoesToItsSection) {
  const std::string page = "/usr/share/doc/python3.11/html/tutorial/controlflow.html";
  if (!std::filesystem::exists(page)) GTEST_SKIP() << "python3.11-doc is not installed";
  Launch launch;
  launch.arguments = {page};
  ASSERT_TRUE(start(launch));
  ASSERT_TRUE(pane.waitForText("for Statements")) << pane.screen();
  // The search lands on the link in the contents, which lights at once.
  pane.keys({"/"});
  pane.type("for Statements");
  pane.keys({"Enter"});
  ASSERT_TRUE(pane.waitUntil([&] { return statusLine() > 1; })) << pane.screen();
  int contents = statusLine();
  pane.keys({"Enter"});
  ASSERT_TRUE(pane.waitUntil([&] { return statusLine() > contents; })) << pane.screen();
  EXPECT_EQ(rowOf("4.2. for Statements"), 1) << pane.screen();
  pane.keys({"q"});
  EXPECT_EQ(pane.waitForExit(), 0) << pane.stderrText();
  expectRestored();
}

// The notice is a box over the page that the next key takes away; the
// page stays where it was.
TEST_F(TodaysPagesTest, ALinkThatCannotBeFollowedSaysWhyUntilTheNextKey) {
  Launch launch;
  launch.arguments = {writePage("page.html", std::string("<title>P</title>") + PageColours +
                                                 "<a href=gone.html>gone</a><br>second line")};
  ASSERT_TRUE(start(launch));
  ASSERT_TRUE(pane.waitForText("second line")) << pane.screen();
  pane.keys({"Enter"});
  ASSERT_TRUE(pane.waitForText("Cannot open gone.html: no such file")) << pane.screen();
  EXPECT_EQ(statusLine(), 1);
  pane.keys({"Down"});
  ASSERT_TRUE(waitForStatusLine(2)) << pane.screen();
  EXPECT_EQ(pane.screen().find("Cannot open"), std::string::npos) << pane.screen();
  pane.keys({"q"});
  EXPECT_EQ(pane.waitForExit(), 0) << pane.stderrText();
  expectRestored();
}

}  // namespace
}  // namespace orbis
