// What the host model does for a front end that offers more than the
// headless one: help, searching, a new console size, and the character
// table. A stand-in plug-in opens a file in the host's editor and lets
// every event through, so the editor's own handling shows.
#include "console_host/host_model.h"

#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <string>
#include <vector>

#include "console_host/key_script.h"
#include "platform/codepage.h"
#include "platform/scoped_environment.h"

namespace orbis::console {
namespace {

PluginStartupInfo startup;
std::string openedFile;

void standInStartup(const PluginStartupInfo* info) { startup = *info; }
void standInInfo(PluginInfo*) {}
void* standInOpen(int, intptr_t) {
  startup.Editor(openedFile.c_str(), "Title", 0, 0, -1, -1, 0, 0, 0);
  return INVALID_HANDLE_VALUE;
}
void standInExit() {}
int passEveryInput(const INPUT_RECORD*) { return 0; }
int ignoreEveryEvent(int, void*) { return 0; }

const PluginEntryPoints standIn{standInStartup, standInInfo,    standInOpen,
                                standInExit,    passEveryInput, ignoreEveryEvent};

// Plays events, answers the search prompt from a list, and notes what the
// host asked of it and where each redraw left the cursor.
class ScriptedFrontEnd : public FrontEnd {
public:
  std::deque<HostEvent> events;
  std::deque<std::string> searchAnswers;
  std::vector<std::string> notes;

  HostEvent nextEvent(const ModelEditor&) override {
    if (events.empty()) return HostEvent{};
    HostEvent event = events.front();
    events.pop_front();
    return event;
  }
  int chooseFromMenu(std::span<const std::string_view>) override { return -1; }
  int showMessage(unsigned, std::span<const std::string_view>, int) override { return 0; }
  void showHelp() override { notes.push_back("help"); }
  std::optional<std::string> askSearchText() override {
    notes.push_back("asked");
    if (searchAnswers.empty()) return std::nullopt;
    std::string answer = searchAnswers.front();
    searchAnswers.pop_front();
    return answer;
  }
  void searchFailed(std::string_view text) override {
    notes.push_back("not found " + std::string(text));
  }
  void searchWrapped(bool backward) override {
    notes.push_back(backward ? "wrapped to the end" : "wrapped to the top");
  }
  void editorDrawn(const ModelEditor& editor, std::span<const EditorColor>) override {
    notes.push_back("at " + std::to_string(editor.cursorLine()) + "," +
                    std::to_string(editor.cursorColumn()) + " top " +
                    std::to_string(editor.topLine()) + " rows " +
                    std::to_string(editor.windowRows()));
  }

  void key(const std::string& name) {
    for (HostEvent& event : keyEvents(name)) events.push_back(event);
  }
};

class HostModelTest : public ::testing::Test {
protected:
  void SetUp() override {
    openedFile = (folder.path() / "page.txt").string();
    std::string text;
    for (int line = 0; line < 30; ++line) text += line % 10 == 7 ? "a Needle\n" : "hay\n";
    std::ofstream(openedFile, std::ios::binary) << text;
  }

  std::vector<std::string> play(ScriptedFrontEnd& frontEnd, platform::ConsoleSize size = {80, 12}) {
    HostModel host(standIn, frontEnd, size);
    host.start("/nowhere/Orbisline.so");
    EXPECT_TRUE(host.openFromCommandLine("page.txt"));
    host.stop();
    return frontEnd.notes;
  }

  orbis::testing::ScratchFolder folder;
};

TEST_F(HostModelTest, SearchGoesBothWaysRoundTheText) {
  ScriptedFrontEnd frontEnd;
  frontEnd.searchAnswers = {"NEEDLE", "none such"};
  for (const char* key : {"F7", "Shift+F7", "Shift+F7", "Shift+F7", "Alt+F7", "Alt+F7", "F7"}) {
    frontEnd.key(key);
  }
  std::vector<std::string> expected = {
      "at 0,0 top 0 rows 10",
      "asked",
      "at 7,2 top 0 rows 10",
      "at 7,2 top 0 rows 10",
      // Again: the text asked for before, from the place found.
      "at 17,2 top 8 rows 10",
      "at 17,2 top 8 rows 10",
      "at 27,2 top 18 rows 10",
      "at 27,2 top 18 rows 10",
      "wrapped to the top",
      "at 7,2 top 7 rows 10",
      "at 7,2 top 7 rows 10",
      // Backward from the first place: round to the last one.
      "wrapped to the end",
      "at 27,2 top 18 rows 10",
      "at 27,2 top 18 rows 10",
      "at 17,2 top 17 rows 10",
      "at 17,2 top 17 rows 10",
      "asked",
      "not found none such",
      "at 17,2 top 17 rows 10",
      "at 17,2 top 17 rows 10",
  };
  EXPECT_EQ(play(frontEnd), expected);
}

TEST_F(HostModelTest, HelpAndANewSizeComeFromTheFrontEnd) {
  ScriptedFrontEnd frontEnd;
  frontEnd.key("F1");
  frontEnd.key("Ctrl+End");
  HostEvent resize;
  resize.kind = HostEvent::Kind::Resize;
  resize.columns = 100;
  resize.rows = 7;
  frontEnd.events.push_back(resize);
  // Asked for nothing: a search that is cancelled does nothing.
  frontEnd.key("F7");
  std::vector<std::string> expected = {
      "at 0,0 top 0 rows 10",
      "help",
      "at 0,0 top 0 rows 10",
      "at 0,0 top 0 rows 10",
      "at 30,0 top 21 rows 10",
      "at 30,0 top 21 rows 10",
      // The editor keeps its cursor on the smaller screen.
      "at 30,0 top 26 rows 5",
      "asked",
      "at 30,0 top 26 rows 5",
      "at 30,0 top 26 rows 5",
  };
  EXPECT_EQ(play(frontEnd), expected);
}

TEST_F(HostModelTest, CharacterTableIsOfferedOnlyWhenAsked) {
  ScriptedFrontEnd frontEnd;
  HostModel host(standIn, frontEnd, {80, 25});
  host.start("/nowhere/Orbisline.so");
  char text[] = "caf\xE9";
  EXPECT_EQ(startup.CharTable(FCT_DETECT, text, 4), -1);
  host.offerCharTable();
  int table = startup.CharTable(FCT_DETECT, text, 4);
  EXPECT_GE(table, 0);
  CharTableSet set{};
  EXPECT_EQ(startup.CharTable(table, reinterpret_cast<char*>(&set), 10), -1);
  EXPECT_EQ(startup.CharTable(table, reinterpret_cast<char*>(&set), sizeof set), table);
  // ANSI to OEM and back, as the process's two code pages have them.
  EXPECT_EQ(set.DecodeTable['A'], 'A');
  EXPECT_EQ(set.EncodeTable['A'], 'A');
  EXPECT_EQ(set.DecodeTable[0], 0);
  if (std::string(platform::ansiCodePageName()) == "CP1252" &&
      std::string(platform::oemCodePageName()) == "CP437") {
    EXPECT_EQ(set.DecodeTable[0xE9], 0x82);
    EXPECT_EQ(set.EncodeTable[0x82], 0xE9);
    EXPECT_EQ(set.EncodeTable[0xB1], '?');
  }
  host.stop();
}

}  // namespace
}  // namespace orbis::console
