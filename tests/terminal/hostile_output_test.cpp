// A page written to attack the terminal that shows it: escape sequences,
// window titles, a clipboard write, device queries, BEL, C1 controls as raw
// bytes, as UTF-8 and as character references, in its text, its title and a
// link's target. The pane's whole output stream is captured: none of the
// page's sequences may reach the terminal, only the viewer's own, and the
// terminal's title is never one the page chose.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/scoped_environment.h"
#include "tmux_pane.h"

namespace orbis {
namespace {

using orbis::testing::Launch;
using orbis::testing::ScratchFolder;
using orbis::testing::TmuxPane;

// What would act on a terminal if it got through as it is written.
const std::vector<std::string> Payloads = {
    "\x1b]2;PWN-osc-bel\x07",
    "\x1b]0;PWN-osc-st\x1b\\",
    "\x1b]52;c;UFdO\x07",
    "\x1b]8;;file:///PWN\x1b\\",
    "\x1b[6n",
    "\x1bP$qPWN\x1b\\",
    "\x1b_PWN-apc\x1b\\",
    "\x1b^PWN-pm\x1b\\",
    "\x1b"
    "c",
};

std::string hostilePage() {
  std::string page =
      "<title>Hostile \x1b]2;PWN-title\x07 \x9d"
      "0;PWN-c1-title\x9c</title>"
      "<body bgcolor=#000000 text=#c0c0c0 link=#00ffff alink=#ffff00>"
      "<a href=\"\x1b]2;PWN-href\x07\x9b"
      "6n.html\">a hostile link</a><br>";
  for (const std::string& payload : Payloads) page += "payload [" + payload + "]<br>";
  // C1 controls: raw (controls in ISO-8859-1, undefined in Windows-1252),
  // in UTF-8 and as character references; BEL alone; ESC as a reference.
  page +=
      "raw c1 [\x9b"
      "6n \x9d"
      "2;PWN-raw-c1\x9c \x85 \x90]<br>";
  page +=
      "utf-8 c1 [\xc2\x9b"
      "6n \xc2\x9d"
      "2;PWN-utf8-c1\xc2\x9c]<br>";
  page += "references [&#155;6n &#157;2;PWN-ref-c1&#156; &#27;]2;PWN-ref-esc&#7;]<br>";
  page += "bell [\x07\x07\x07]<br>the end of the page";
  return page;
}

// The stream as Unicode code points; false when it is not UTF-8.
bool decodeUtf8(const std::string& bytes, std::vector<char32_t>& out) {
  for (std::size_t i = 0; i < bytes.size();) {
    unsigned char lead = static_cast<unsigned char>(bytes[i]);
    int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
    if (extra < 0 || bytes.size() - i <= static_cast<std::size_t>(extra)) return false;
    char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      unsigned char next = static_cast<unsigned char>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    out.push_back(code);
    i += extra + 1;
  }
  return true;
}

// The viewer's own sequences: CSI, OSC 0 or 2 (the window title) and
// two-byte escapes. Any other kind of string sequence, or a BEL that ends no
// title, is a failure; so is a title the page wrote.
void expectOnlyOwnSequences(const std::string& stream) {
  for (std::size_t i = stream.find('\x1b'); i != std::string::npos;
       i = stream.find('\x1b', i + 1)) {
    char kind = i + 1 < stream.size() ? stream[i + 1] : '\0';
    EXPECT_TRUE(kind != 'P' && kind != '_' && kind != '^' && kind != 'X')
        << "a string sequence at byte " << i << ": " << stream.substr(i, 20);
    if (kind != ']') continue;
    std::size_t end = stream.find_first_of(std::string("\x07\x1b", 2), i + 2);
    std::string body = stream.substr(i + 2, end == std::string::npos ? 40 : end - i - 2);
    EXPECT_TRUE(body.rfind("0;", 0) == 0 || body.rfind("2;", 0) == 0) << "OSC " << body;
    EXPECT_NE(body.substr(2, 3), "PWN") << "the page's title reached the terminal: " << body;
  }
  for (std::size_t i = stream.find('\x07'); i != std::string::npos;
       i = stream.find('\x07', i + 1)) {
    std::size_t opened = stream.rfind("\x1b]", i);
    EXPECT_TRUE(opened != std::string::npos && stream.find('\x1b', opened + 1) > i)
        << "a BEL outside a title at byte " << i;
  }
}

TEST(HostileOutputTest, NothingFromThePageActsOnTheTerminal) {
  if (!TmuxPane::available()) GTEST_SKIP() << "tmux is not installed";
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> environment;
  };
  // Windows-1252 leaves a few bytes undefined; ISO-8859-1 makes every byte
  // from 0x80 to 0x9F a C1 control.
  const Case cases[] = {
      {"the default code pages", {}},
      {"ISO-8859-1", {{"ORBISLINE_CODEPAGE", "ISO-8859-1"}, {"ORBISLINE_OEMCP", "ISO-8859-1"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchFolder folder;
    std::filesystem::path page = folder.path() / "hostile.html";
    std::ofstream(page, std::ios::binary) << hostilePage();
    TmuxPane pane(folder.path());
    Launch launch;
    launch.arguments = {page.string()};
    launch.captureStream = true;
    launch.environment = c.environment;
    ASSERT_TRUE(pane.start(launch)) << pane.lastError();
    ASSERT_TRUE(pane.waitForText("the end of the page")) << pane.screen();
    // The page's text is on the screen, its controls as visible pictures.
    std::string screen = pane.screen();
    EXPECT_NE(screen.find("\u241B]2;PWN-osc-bel\u2407"), std::string::npos) << screen;
    EXPECT_NE(screen.find("bell [\u2407\u2407\u2407]"), std::string::npos) << screen;
    // The cursor opens on the link, so its target is the console title.
    std::vector<std::string> titles = {pane.format("#{pane_title}")};
    pane.keys({"Down", "Up"});
    pane.mouseMove(2, 1);
    titles.push_back(pane.format("#{pane_title}"));
    pane.keys({"q"});
    EXPECT_EQ(pane.waitForExit(), 0);
    titles.push_back(pane.format("#{pane_title}"));
    for (const std::string& title : titles) {
      EXPECT_NE(title.rfind("PWN", 0), 0u) << title;
    }
    EXPECT_EQ(titles.back(), orbis::testing::TitleBeforeStart);
    EXPECT_EQ(pane.stderrText(), "");

    std::string stream = pane.outputStream();
    ASSERT_FALSE(stream.empty());
    for (const std::string& payload : Payloads) {
      EXPECT_EQ(stream.find(payload), std::string::npos) << "payload " << payload.substr(1);
    }
    std::vector<char32_t> codes;
    ASSERT_TRUE(decodeUtf8(stream, codes)) << "the stream is not UTF-8";
    for (char32_t code : codes) {
      EXPECT_FALSE(code >= 0x80 && code <= 0x9F)
          << "C1 control U+" << std::hex << static_cast<unsigned>(code);
    }
    expectOnlyOwnSequences(stream);
    EXPECT_EQ(pane.temporaryFilesLeft(), 0);
  }
}

}  // namespace
}  // namespace orbis
