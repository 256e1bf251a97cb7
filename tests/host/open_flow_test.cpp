// OpenPlugin's loop around the host's modal editor: what the host's
// version allows, the history that leaving and going back make, and files
// that cannot be shown.
#include <filesystem>
#include <string>
#include <vector>

#include "host/plugin_fixture.h"

namespace orbis::testing {
namespace {

using OpenFlowTest = PluginTest;

using Calls = std::vector<std::string>;

// Below 1.63 only a notice; 1.63 shows pages but follows no link to another
// page and keeps no history; from 1.64 on, both.
TEST_F(OpenFlowTest, TheHostsVersionDecidesWhatIsShown) {
  const std::string notice =
      "MESSAGE 5 1 \"Orbisline\" \"Sorry, but Orbisline required Far 1.63 or above!\" \"Ok\" 1";
  // B has no link at the cell of A's, so Enter there only redraws.
  const Calls withHistory = {
      "EDITOR \"A\" 0", "QUIT",   "REDRAW",
      "EDITOR \"B\" 0", "REDRAW", "MENU *\"&Back to: A\" \"&Turn off document colors\""};
  const std::pair<const char*, Calls> cases[] = {
      {"1.62", {notice}},
      {"", {notice}},
      {"0.99", {notice}},
      {"1.63", {"EDITOR \"A\" 0", "REDRAW", "MENU *\"&Turn off document colors\""}},
      {"1.64", withHistory},
      {"2.0", withHistory},
  };
  for (const auto& [version, expected] : cases) {
    host.start(version);
    host.calls.clear();
    host.editorsOpened = 0;
    auto followThenMenu = [&] {
      follow(0, 8)();
      host.pluginMenu();
    };
    host.inEditor = {followThenMenu, followThenMenu};
    open(siteA);
    EXPECT_EQ(actions(), expected) << version;
    EXPECT_FALSE(temporaryFilesLeft()) << version;
  }
}

// A to B to C, back to B, to C again, back to B and A: each page reopens at
// the line it was left at, and going back pushes nothing. When the last
// editor closes, nothing of the viewer is left.
TEST_F(OpenFlowTest, LeavingPushesTheCursorLineAndGoingBackReopensThere) {
  auto back = [&] { EXPECT_EQ(host.key(VK_BACK), 1); };
  host.inEditor = {follow(5, 5), follow(2, 1), back, follow(2, 1), back, back, back};
  open(siteA);
  const Calls expected = {
      "EDITOR \"A\" 0", "QUIT",           "REDRAW",         "EDITOR \"B\" 0",
      "QUIT",           "REDRAW",         "EDITOR \"C\" 0", "QUIT",
      "EDITOR \"B\" 2", "QUIT",           "REDRAW",         "EDITOR \"C\" 0",
      "QUIT",           "EDITOR \"B\" 2", "QUIT",           "EDITOR \"A\" 5",
  };
  EXPECT_EQ(actions(), expected);
  EXPECT_FALSE(temporaryFilesLeft());
  EXPECT_EQ(host.key('A'), 0);

  host.calls.clear();
  host.editorsOpened = 0;
  host.inEditor = {[&] { host.pluginMenu(); }};
  open(siteA);
  EXPECT_EQ(actions(), (Calls{"EDITOR \"A\" 0", "MENU *\"&Turn off document colors\""}));
}

// The editor's title goes through the character table the host detects
// for it.
TEST_F(OpenFlowTest, TheEditorsTitleIsConvertedForTheConsole) {
  host.convertsText = true;
  open(page("t.htm", "<title>caf\xE9 x</title>"));
  EXPECT_EQ(actions(), Calls{"EDITOR \"CAF? X\" 0"});
}

// A file the load refuses or cannot read opens no editor and shows nothing
// of its own; from an editor's plug-in menu, the editor's file is opened.
TEST_F(OpenFlowTest, AFileThatCannotBeShownShowsNothing) {
  page("notes.txt", "<p>Notes");
  page("empty.htm", "");
  std::filesystem::create_directory(pages.path() / "folder.htm");
  for (const char* name : {"missing.htm", "notes.txt", "empty.htm", "folder.htm", "a", ""}) {
    host.calls.clear();
    open((pages.path() / name).string());
    EXPECT_EQ(actions(), Calls{}) << name;
  }
  OpenPlugin(OPEN_COMMANDLINE, 0);
  EXPECT_EQ(actions(), Calls{});
  EXPECT_FALSE(temporaryFilesLeft());

  host.editor.fileName = siteA;
  EXPECT_EQ(OpenPlugin(OPEN_EDITOR, 0), INVALID_HANDLE_VALUE);
  EXPECT_EQ(actions(), Calls{"EDITOR \"A\" 0"});
  ASSERT_GT(host.editor.text.size(), 82u);
  EXPECT_EQ(host.editor.text[0].substr(6, 7), "go to b");
  EXPECT_EQ(host.editor.text[82].substr(0, 3), "End");
}

}  // namespace
}  // namespace orbis::testing
