// The menu that the plug-in menu opens inside a shown page, and going back
// to a page whose file has gone, by the menu and by Backspace.
#include <filesystem>
#include <string>
#include <vector>

#include "host/plugin_fixture.h"

namespace orbis::testing {
namespace {

using DocumentMenuTest = PluginTest;
using GoingBackTest = PluginTest;

using Calls = std::vector<std::string>;

const std::string Off = "\"&Turn off document colors\"";
const std::string On = "\"&Turn on document colors\"";
const std::string BackToA = "MENU *\"&Back to: A\" " + Off;

// With one item the colours switch whatever the answer, Escape included.
// With two, Escape changes nothing, the second item switches the colours,
// and the first reopens the previous page at its line, taking it off the
// history without pushing the page it leaves.
TEST_F(DocumentMenuTest, WhatEachAnswerDoes) {
  struct Case {
    bool fromB;  // the menu in B, reached from A
    int answer;
    Calls then;
  };
  const Case cases[] = {
      {false, -1, {"MENU *" + Off, "MENU *" + On}},
      {false, 0, {"MENU *" + Off, "MENU *" + On}},
      {true, -1, {BackToA, BackToA}},
      {true, 1, {BackToA, "MENU *\"&Back to: A\" " + On}},
      {true, 2, {BackToA, BackToA}},
      {true, 0, {BackToA, "QUIT", "EDITOR \"A\" 5", "MENU *" + Off}},
  };
  auto twoMenus = [&] {
    host.pluginMenu();
    host.pluginMenu();
  };
  for (const Case& c : cases) {
    host.start();
    host.calls.clear();
    host.editorsOpened = 0;
    host.menuAnswers = {c.answer};
    host.inEditor = {c.fromB ? follow(5, 5) : twoMenus, twoMenus, [&] { host.pluginMenu(); }};
    open(siteA);
    Calls expected = {"EDITOR \"A\" 0"};
    if (c.fromB) expected.insert(expected.end(), {"QUIT", "REDRAW", "EDITOR \"B\" 0"});
    expected.insert(expected.end(), c.then.begin(), c.then.end());
    EXPECT_EQ(actions(), expected) << (c.fromB ? "B" : "A") << " answer " << c.answer;
  }
}

TEST_F(DocumentMenuTest, ALongTitleIsCutToFitTheItem) {
  std::string title(300, 'x');
  host.inEditor = {follow(0, 0), [&] { host.pluginMenu(); }};
  open(page("long.htm", "<title>" + title + "</title><a href=b.htm>b</a>"));
  std::string item = ("&Back to: " + title).substr(0, 127);
  EXPECT_EQ(actions().back(), "MENU *\"" + item + "\" " + Off);
}

// The menu's Back keeps an entry whose file has gone until a load of it
// succeeds; Backspace drops it even though its load fails. Neither leaves
// the page while the load fails.
TEST_F(GoingBackTest, AGoneFileLeavesTheHistoryByBackspaceNotByTheMenu) {
  const std::string away = siteA + ".away";
  host.menuAnswers = {0, 0, -1};
  host.inEditor = {
      follow(5, 5),
      [&] {
        std::filesystem::rename(siteA, away);
        host.pluginMenu();
        std::filesystem::rename(away, siteA);
        host.pluginMenu();
      },
      follow(5, 5),
      [&] {
        std::filesystem::rename(siteA, away);
        EXPECT_EQ(host.key(VK_BACK), 1);
        host.pluginMenu();
      },
  };
  open(siteA);
  // Either way the page that cannot be opened says why.
  const std::string gone =
      "MESSAGE 5 0 \"Orbisline\" \"Cannot open " + siteA + ": no such file\" 0";
  const Calls expected = {
      "EDITOR \"A\" 0",
      "QUIT",
      "REDRAW",
      "EDITOR \"B\" 0",
      BackToA,
      gone,
      BackToA,
      "QUIT",
      "EDITOR \"A\" 5",
      "QUIT",
      "REDRAW",
      "EDITOR \"B\" 0",
      gone,
      "MENU *" + Off,
  };
  EXPECT_EQ(actions(), expected);
  EXPECT_FALSE(temporaryFilesLeft());
}

}  // namespace
}  // namespace orbis::testing
