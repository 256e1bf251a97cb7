// Shared set-up for the tests that drive the plug-in through its entry
// points and the fake host: the plug-in started by a 1.70 host, the built-in
// palette from an empty scratch registry, temporary files in a scratch
// folder, an 80-column console, and a small site of pages in another.
//
// The site: A is long (anchors "mid" on line 21 and "end" on line 82, the
// last) and in the editor's own colours; its links lie on line 0 ("go to b"
// at 6-12, "mid" 15-17, "end" 20-22, "nowhere" 25-31, "gone" 34-37 to a
// missing file, "spaced" 40-45), lines 2 and 3 (one link to C wrapped over
// both, 13-74 and 0-32) and line 5 ("bee" to B at 4-6). B has its link to C
// on line 2 (0-3); C links back to A on line 0.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/fake_host.h"
#include "platform/scoped_environment.h"
#include "platform/shared/console.h"
#include "platform/shared/settings_file.h"

namespace orbis::testing {

class PluginTest : public ::testing::Test {
protected:
  void SetUp() override {
    platform::setConsoleSizeOverride({80, 25});
    writeSite();
    host.start();
  }
  void TearDown() override {
    ExitFAR();
    platform::setSettingsFileOverride("");
    platform::clearConsoleSizeOverride();
  }

  std::string page(const std::string& name, std::string_view html) const {
    std::string path = (pages.path() / name).string();
    std::ofstream(path, std::ios::binary) << html;
    return path;
  }

  // The plug-in started again with these settings; empty: the built-in.
  void restartWithSettings(std::string_view text) {
    ExitFAR();
    platform::setSettingsFileOverride(text.empty() ? "" : page("settings.obs", text));
    host.start();
  }

  void open(const std::string& path) {
    OpenPlugin(OPEN_COMMANDLINE, reinterpret_cast<intptr_t>(path.c_str()));
  }

  // The saved cursor put on a cell of the open editor, by a key that passes
  // without moving it.
  void aim(int line, int column, int top = 0) {
    host.editor.line = line;
    host.editor.column = column;
    host.editor.top = top;
    host.key(VK_HOME);
  }

  // An editor's script: Enter on the cell.
  std::function<void()> follow(int line, int column) {
    return [this, line, column] {
      aim(line, column);
      host.key(VK_RETURN);
    };
  }

  // The host's calls without the progress box of each load.
  std::vector<std::string> actions() const {
    std::vector<std::string> kept;
    for (const std::string& call : host.calls) {
      // The progress box's bar is made of shade and block cells.
      bool bar = call.find("\"Orbisline\" \"\xB1") != std::string::npos ||
                 call.find("\"Orbisline\" \"\xDB") != std::string::npos;
      bool progress =
          call.rfind("SAVE", 0) == 0 || call.rfind("RESTORE", 0) == 0 ||
          ((call.rfind("MESSAGE 5 0 ", 0) == 0 || call.rfind("MESSAGE 5 4 ", 0) == 0) && bar);
      if (!progress) kept.push_back(call);
    }
    return kept;
  }

  bool temporaryFilesLeft() const { return !std::filesystem::is_empty(temporary.path()); }

  ScratchFolder registry;
  ScopedEnvironment registryVariable{"ORBISLINE_REGISTRY", registry.path().c_str()};
  ScratchFolder pages;  // made before TMPDIR points elsewhere
  ScratchFolder temporary;
  ScopedEnvironment tmpdir{"TMPDIR", temporary.path().c_str()};
  std::string siteA = (pages.path() / "a.htm").string();
  FakeHost host;

private:
  void writeSite() const {
    std::string filler;
    for (int i = 6; i < 80; ++i) {
      filler += i == 20 ? "<a name=mid>Line 20</a><br>" : "Line " + std::to_string(i) + "<br>";
    }
    page("a.htm",
         "<title>A</title><body bgcolor=navy text=aqua link=yellow alink=lime>"
         "<p>Intro <a href=\"b.htm\">go to b</a>, <a href=\"#Mid\">mid</a>, "
         "<a href=\"#end\">end</a>, <a href=\"#nowhere\">nowhere</a>, "
         "<a href=\"missing.htm\">gone</a>, <a href=\"my%20page+x.htm\">spaced</a>."
         "<p>A long link: <a href=\"c.htm#part\">one two three four five six seven eight nine "
         "ten eleven twelve thirteen fourteen fifteen sixteen</a> done."
         "<p>See <a href=\"b.htm\">bee</a>.<p>" +
             filler + "<p><a name=end>End</a> here.");
    page("b.htm", "<title>B</title><p>Page b<p><a href=\"c.htm\">to c</a>");
    page("c.htm", "<title>C</title><p><a href=\"a.htm\">to a</a>");
  }
};

}  // namespace orbis::testing
