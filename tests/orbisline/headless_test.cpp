// The plug-in module driven through the headless host, as a user would drive
// the viewer: pages are small fixtures, the script is the user, and the
// trace shows what passed between host and plug-in.
//
// Rendering facts the expectations use come from --runs (tested on its own);
// everything asserted about the trace is the viewer's behaviour: which
// editors open and close, at which line, what is coloured, what the title
// says and which boxes are shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "config/colors.h"
#include "orbisline_runner.h"

namespace orbis {
namespace {

using orbis::testing::Outcome;

using Trace = std::vector<std::string>;

constexpr const char* TitleNone = "TITLE \"Orbisline - Far\"";
constexpr const char* SaveNotice =
    "MESSAGE \"Orbisline\" \"Sorry, but saving mechanism is not implemented yet\" \"Ok\" -> 0";

Trace splitLines(const std::string& text) {
  Trace lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool startsWith(std::string_view line, std::string_view prefix) {
  return line.substr(0, prefix.size()) == prefix;
}

// The lines of trace that begin with one of prefixes, in order.
Trace keep(const Trace& trace, std::initializer_list<std::string_view> prefixes) {
  Trace kept;
  for (const std::string& line : trace) {
    if (std::any_of(prefixes.begin(), prefixes.end(),
                    [&](std::string_view prefix) { return startsWith(line, prefix); })) {
      kept.push_back(line);
    }
  }
  return kept;
}

// The lines after the nth line equal to marker (the first by default), up
// to the next line that begins with until (not included).
Trace after(const Trace& trace, std::string_view marker, std::string_view until, int nth = 1) {
  auto from = trace.begin();
  for (int found = 0; found < nth && from != trace.end(); ++found) {
    if (found > 0) ++from;
    from = std::find(from, trace.end(), marker);
  }
  Trace lines;
  if (from == trace.end()) return lines;
  for (++from; from != trace.end() && !startsWith(*from, until); ++from) lines.push_back(*from);
  return lines;
}

int countOf(const Trace& trace, std::string_view line) {
  return static_cast<int>(std::count(trace.begin(), trace.end(), line));
}

struct Piece {
  int line;
  int start;
  int end;
};

class HeadlessTest : public orbis::testing::OrbislineRunner {
protected:
  // Plays keys in the viewer on file; the trace. The host must end well
  // and leave no temporary file.
  Trace play(const std::string& file, const std::string& keys,
             const std::vector<std::string>& options = {}) {
    Outcome outcome = playOutcome(file, keys, options);
    EXPECT_EQ(outcome.status, 0) << keys << "\n" << outcome.err;
    EXPECT_TRUE(outcome.err.empty()) << outcome.err;
    EXPECT_EQ(temporaryFilesLeft(), 0);
    return splitLines(outcome.out);
  }

  Outcome playOutcome(const std::string& file, const std::string& keys,
                      const std::vector<std::string>& options = {}) {
    std::vector<std::string> arguments = {"--headless",
                                          "--width",
                                          std::to_string(width),
                                          "--height",
                                          std::to_string(height),
                                          "--trace",
                                          "-",
                                          "--keys",
                                          keys};
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.push_back(file);
    return run(arguments);
  }

  // What --runs says about file at the same console size.
  Trace runsOf(const std::string& file) {
    Outcome outcome =
        run({"--runs", "--width", std::to_string(width), "--height", std::to_string(height), file});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    return splitLines(outcome.out);
  }

  // The number after "prefix " in the runs (an anchor's line + 1, the last
  // line's index).
  int runsNumber(const Trace& runs, const std::string& prefix) {
    for (const std::string& line : runs) {
      if (startsWith(line, prefix + " ")) return std::stoi(line.substr(prefix.size() + 1));
    }
    ADD_FAILURE() << "no " << prefix;
    return -1;
  }

  // The pieces of the link to target, in line order.
  std::vector<Piece> linkPieces(const Trace& runs, const std::string& target) {
    std::vector<Piece> pieces;
    int line = -1;
    for (const std::string& text : runs) {
      std::istringstream words(text);
      std::string word;
      words >> word;
      if (word == "line") words >> line;
      if (word != "link" || text.find("\"" + target + "\"") == std::string::npos) continue;
      Piece piece{line, 0, 0};
      words >> piece.start >> piece.end;
      pieces.push_back(piece);
    }
    return pieces;
  }

  // A page whose link to target sits alone on line `line`, column 0.
  std::string pageWithLinkOnLine(const std::string& name, const std::string& title, int line,
                                 const std::string& body) {
    std::string page = "<title>" + title + "</title>";
    for (int i = 0; i < line; ++i) page += "line " + std::to_string(i) + "<br>";
    return writeFile(name, page + body);
  }

  // Makes the host's own editor colour (palette entry 53) attr.
  void setEditorColor(unsigned char attr) {
    std::filesystem::path key =
        folder.path() / "registry" / "HKEY_CURRENT_USER" / "Software" / "Far" / "Colors";
    std::filesystem::create_directories(key);
    std::string palette(reinterpret_cast<const char*>(Palette::builtInTable), PaletteSize);
    palette[EditorTextEntry] = static_cast<char>(attr);
    std::ofstream(key / "CurrentPalette", std::ios::binary) << palette;
  }

  int width = 40;
  int height = 8;  // six text rows
};

// The whole trace of a short session, line by line. The host editor's own
// colour is the page's (0x70, black on silver), so only links are painted.
TEST_F(HeadlessTest, TheTraceHoldsItsFormat) {
  width = 20;
  height = 5;  // three text rows
  setEditorColor(0x70);
  std::string page = writeFile(
      "page.htm", "<title>T \"q\"</title><a href=#x>go</a> <a href=b.htm>b</a><a name=x></a>");
  writeFile("b.htm", "<title>B</title>b");
  const std::string empty(50, '\xB1');
  const std::string parsed = std::string(40, '\xDB') + std::string(10, '\xB1');
  const std::string full(50, '\xDB');
  auto progress = [](const std::string& bar) {
    std::string line = "MESSAGE \"Orbisline\" \"";
    for (unsigned char byte : bar) line += byte == 0xB1 ? "\\xB1" : "\\xDB";
    return line + "\" -> 0";
  };
  const Trace linkActive = {"TITLE \"#x\"", "ADDCOLOR 0 0 1 7C", "ADDCOLOR 0 3 3 79"};
  const Trace otherActive = {"ADDCOLOR 0 0 1 79", "TITLE \"b.htm\"", "ADDCOLOR 0 3 3 7C"};
  Trace expected = {progress(empty), progress(parsed), progress(full), "EDITOR \"T \\\"q\\\"\" 0",
                    TitleNone};
  auto add = [&](const Trace& lines) {
    expected.insert(expected.end(), lines.begin(), lines.end());
  };
  add(linkActive);
  // Enter on the anchor link: the end of the text is on the screen.
  add({"SETPOSITION 0 0 0", "REDRAW"});
  add(linkActive);
  add({"KEY Enter -> 1", "CURSOR 0 0 0"});
  add(linkActive);
  add({"KEYUP Enter -> 1", "CURSOR 0 0 0"});
  add(linkActive);
  // The plug-in menu, and the one-item document menu, Escaped.
  add({"KEY F11 -> 0", "MENU \"Orbisline\" -> 0", "MENU \"&Turn off document colors\" -> -1",
       "CURSOR 0 0 0"});
  add(linkActive);
  add({"KEYUP F11 -> 1", "CURSOR 0 0 0"});
  add(linkActive);
  add({"REDRAW"});
  add(otherActive);
  add({"MOUSE 3,1 0 -> 0", "CURSOR 0 0 0"});
  add(otherActive);
  add({SaveNotice});
  // The click follows the link under the pointer to the next page.
  add({progress(empty), progress(parsed), progress(full), "QUIT", "REDRAW"});
  add(otherActive);
  add({"MOUSE 3,1 1 -> 1", "CLOSE", "EDITOR \"B\" 0", TitleNone, TitleNone, "CLOSE"});
  EXPECT_EQ(play(page, "Enter F11 pick:0 pick:-1 move:3,1 save click:3,1"), expected);
}

TEST_F(HeadlessTest, LinksToOtherFilesOpenThemOrAreIgnored) {
  std::filesystem::create_directories(folder.path() / "sub");
  writeFile("b.htm", "<title>B</title>b");
  writeFile("c.htm", "<title>C</title>c");
  writeFile("my page.htm", "<title>Spaced</title>s");
  writeFile("sub/d.htm", "<title>D</title>d");
  writeFile("notes.txt", "<title>Text</title>t");
  struct Case {
    const char* target;
    const char* opened;  // null: nothing opens, the page stays
  };
  const Case cases[] = {
      {"b.htm", "B"},
      {"c.htm#part", "C"},          // the fragment is dropped
      {"c.htm?x=1", "C"},           // and the query
      {"my+page%2Ehtm", "Spaced"},  // plus and percent escapes
      {"sub/d.htm", "D"},
      {"sub/../b.htm", "B"},
      {"sub", nullptr},        // a directory
      {"notes.txt", nullptr},  // an extension the settings do not list
      {"gone.htm", nullptr},
      {"http://example.org/b.htm", nullptr},
  };
  for (const Case& c : cases) {
    std::string page =
        writeFile("a.htm", std::string("<title>A</title><a href=\"") + c.target + "\">link</a>");
    Trace trace = keep(play(page, "Enter"), {"EDITOR", "CLOSE", "KEY Enter"});
    Trace expected = {"EDITOR \"A\" 0"};
    if (c.opened != nullptr) {
      expected.insert(expected.end(), {"KEY Enter -> 1", "CLOSE",
                                       "EDITOR \"" + std::string(c.opened) + "\" 0", "CLOSE"});
    } else {
      expected.insert(expected.end(), {"KEY Enter -> 1", "CLOSE"});
    }
    EXPECT_EQ(trace, expected) << c.target;
  }
}

TEST_F(HeadlessTest, AnchorsMoveTheCursorInThePage) {
  std::string body =
      "<a href=#mid>m</a> <a href=#END>e</a> <a href=#nowhere>n</a> "
      "<a href=#Top>t</a><a name=top></a>";
  for (int i = 0; i < 20; ++i) body += "<br>" + std::to_string(i);
  body += "<a name=mid></a>middle";
  for (int i = 0; i < 20; ++i) body += "<br>" + std::to_string(i);
  body += "<a name=end></a>end<br>last";
  std::string page = writeFile("a.htm", "<title>A</title>" + body);
  Trace runs = runsOf(page);
  const int rows = height - 2;
  const int last = runsNumber(runs, "lastLineIndex");
  const int middle = runsNumber(runs, "anchor \"mid\"") - 1;
  const int end = runsNumber(runs, "anchor \"end\"") - 1;
  ASSERT_GT(last - middle, rows);
  ASSERT_LE(last - end, rows);
  struct Case {
    const char* keys;  // the links sit at columns 0, 2, 4 and 6 of line 0
    std::string position;
  };
  const Case cases[] = {
      {"Enter", "SETPOSITION " + std::to_string(middle) + " 0 " + std::to_string(middle)},
      // Near the end the text's end fills the screen.
      {"Right Right Enter",
       "SETPOSITION " + std::to_string(end) + " 2 " + std::to_string(last - rows + 2)},
      // A name that is not there moves nothing and says so.
      {"Right Right Right Right Enter",
       "MESSAGE \"Orbisline\" \"No anchor #nowhere in this page\" -> 0"},
      {"Right Right Right Right Right Right Enter", "SETPOSITION 0 6 0"},
  };
  for (const Case& c : cases) {
    Trace trace = play(page, c.keys);
    Trace moves = keep(trace, {"SETPOSITION", "EDITOR", "CLOSE", "MESSAGE \"Orbisline\" \"No"});
    EXPECT_EQ(moves, (Trace{"EDITOR \"A\" 0", c.position, "CLOSE"})) << c.keys;
  }
  // The editor follows: the cursor lands on the anchor's line.
  Trace trace = play(page, "Enter");
  auto key = std::find(trace.begin(), trace.end(), "KEY Enter -> 1");
  ASSERT_NE(key, trace.end());
  ASSERT_NE(key + 1, trace.end());
  EXPECT_EQ(key[1], "CURSOR " + std::to_string(middle) + " 0 " + std::to_string(middle));
}

// Today's pages: anchors by id, fragments in links to other files, links
// that cannot be followed, Tab from link to link, names with "+".
TEST_F(HeadlessTest, LinksOfTodaysPages) {
  std::string filler;
  for (int i = 0; i < 12; ++i) filler += "<p>filler " + std::to_string(i) + "</p>";
  writeFile("other.htm",
            "<title>O</title>" + filler + "<h2 id=Part>Part</h2>" + filler + "<p id=tail>tail</p>");
  writeFile("c++.htm", "<title>Plus</title>plus");
  std::string page =
      writeFile("links.htm",
                "<title>L</title><a href=#sec>s</a> <a href=other.htm#part>o</a> "
                "<a href=other.htm#tail>t</a> <a href=other.htm#none>n</a> <a href=gone.htm>g</a> "
                "<a href=http://example.org/x>w</a> <a href=c++.htm>p</a>" +
                    filler + "<div id=SEC>section</div>" + filler);
  Trace links = runsOf(page);
  Trace other = runsOf((folder.path() / "other.htm").string());
  const int rows = height - 2;
  const int section = runsNumber(links, "anchor \"SEC\"") - 1;
  const int part = runsNumber(other, "anchor \"Part\"") - 1;
  const int tail = runsNumber(other, "anchor \"tail\"") - 1;
  const int otherLast = runsNumber(other, "lastLineIndex");
  ASSERT_LE(otherLast - tail, rows);
  auto at = [](int line, int column, int top) {
    return "SETPOSITION " + std::to_string(line) + " " + std::to_string(column) + " " +
           std::to_string(top);
  };
  auto notice = [](const std::string& text) {
    return "MESSAGE \"Orbisline\" \"" + text + "\" -> 0";
  };
  struct Case {
    const char* keys;  // the links sit at columns 0, 2, 4, 6, 8, 10 and 12 of line 0
    Trace expected;    // editors, moves and notices
  };
  const Case cases[] = {
      {"Enter", {"EDITOR \"L\" 0", at(section, 0, section), "CLOSE"}},
      // The other file opens at its first line, then goes to the anchor; the
      // end of the text fills the screen near the end; back is as before.
      {"Tab Enter BS",
       {"EDITOR \"L\" 0", at(0, 2, -1), "CLOSE", "EDITOR \"O\" 0", at(part, 0, part), "CLOSE",
        "EDITOR \"L\" 0", "CLOSE"}},
      {"Tab Tab Enter",
       {"EDITOR \"L\" 0", at(0, 2, -1), at(0, 4, -1), "CLOSE", "EDITOR \"O\" 0",
        at(tail, 0, otherLast - rows + 2), "CLOSE"}},
      {"Tab Tab Tab Enter",
       {"EDITOR \"L\" 0", at(0, 2, -1), at(0, 4, -1), at(0, 6, -1), "CLOSE", "EDITOR \"O\" 0",
        notice("No anchor #none in this page"), "CLOSE"}},
      // Links that cannot be followed leave the editor as it is.
      {"Shift+Tab Shift+Tab Enter Shift+Tab Enter",
       {"EDITOR \"L\" 0", at(0, 12, -1), notice("Wrapped to the end"), at(0, 10, -1),
        notice("Not a local file: http://example.org/x"), at(0, 8, -1),
        notice("Cannot open gone.htm: no such file"), "CLOSE"}},
      {"Shift+Tab Enter",
       {"EDITOR \"L\" 0", at(0, 12, -1), notice("Wrapped to the end"), "CLOSE", "EDITOR \"Plus\" 0",
        "CLOSE"}},
  };
  for (const Case& c : cases) {
    Trace trace = play(page, c.keys);
    Trace moves = keep(trace, {"SETPOSITION", "EDITOR", "CLOSE", "MESSAGE \"Orbisline\" \"N",
                               "MESSAGE \"Orbisline\" \"C", "MESSAGE \"Orbisline\" \"W"});
    EXPECT_EQ(moves, c.expected) << c.keys;
  }
}

// Part of the history: A -> B -> C -> D, each link followed from its own
// line, then back again.
class HistoryTest : public HeadlessTest {
protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    first = pageWithLinkOnLine("a.htm", "A", 1, "<a href=b.htm>to b</a>");
    pageWithLinkOnLine("b.htm", "B", 2, "<a href=c.htm>to c</a>");
    pageWithLinkOnLine("c.htm", "C", 3, "<a href=d.htm>d</a> <a href=e.htm>e</a>");
    pageWithLinkOnLine("d.htm", "D", 4, "<a href=a.htm>to a</a>");
    writeFile("e.htm", "<title>E</title>e");
  }

  // Follows the link on line n of the page shown (column 0).
  static std::string follow(int n) {
    std::string keys;
    for (int i = 0; i < n; ++i) keys += "Down ";
    return keys + "Enter ";
  }

  Trace editors(const Trace& trace) { return keep(trace, {"EDITOR", "MENU"}); }

  std::string first;
};

TEST_F(HistoryTest, BackspaceReturnsThroughThePagesLeft) {
  Trace trace = play(first, follow(1) + follow(2) + follow(3) + "BS BS BS BS");
  EXPECT_EQ(editors(trace),
            (Trace{"EDITOR \"A\" 0", "EDITOR \"B\" 0", "EDITOR \"C\" 0", "EDITOR \"D\" 0",
                   "EDITOR \"C\" 3", "EDITOR \"B\" 2", "EDITOR \"A\" 1"}));
  // The fourth Backspace finds nothing to go back to and is consumed.
  EXPECT_EQ(trace.back(), "CLOSE");
  EXPECT_EQ(countOf(trace, "KEY BS -> 1"), 4);
  EXPECT_EQ(countOf(trace, "CLOSE"), 7);
}

TEST_F(HistoryTest, GoingBackForgetsThePageLeft) {
  // Back from D to C, on to E instead, then back: C, B, and no D.
  Trace trace = play(first, follow(1) + follow(2) + follow(3) + "BS Right Right Enter BS BS BS");
  EXPECT_EQ(editors(trace), (Trace{"EDITOR \"A\" 0", "EDITOR \"B\" 0", "EDITOR \"C\" 0",
                                   "EDITOR \"D\" 0", "EDITOR \"C\" 3", "EDITOR \"E\" 0",
                                   "EDITOR \"C\" 3", "EDITOR \"B\" 2", "EDITOR \"A\" 1"}));
}

TEST_F(HistoryTest, TheMenuGoesBackToThePreviousPage) {
  Trace trace = play(first, follow(1) + follow(2) +
                                "F11 pick:0 pick:0 F11 pick:0 pick:0 "
                                "F11 pick:0 pick:-1");
  EXPECT_EQ(editors(trace),
            (Trace{"EDITOR \"A\" 0", "EDITOR \"B\" 0", "EDITOR \"C\" 0", "MENU \"Orbisline\" -> 0",
                   "MENU \"&Back to: B\" \"&Turn off document colors\" -> 0", "EDITOR \"B\" 2",
                   "MENU \"Orbisline\" -> 0",
                   "MENU \"&Back to: A\" \"&Turn off document colors\" -> 0", "EDITOR \"A\" 1",
                   "MENU \"Orbisline\" -> 0", "MENU \"&Turn off document colors\" -> -1"}));
}

TEST_F(HeadlessTest, MenusToggleColoursAndEscapeAsThePluginSays) {
  std::string first = writeFile("a.htm", "<title>A</title><a href=b.htm>b</a>");
  writeFile("b.htm", "<title>B</title>b");
  // With one item, Escape toggles too; with two, only the item does.
  Trace trace = play(first,
                     "F11 pick:0 pick:-1 F11 pick:0 pick:-1 F11 pick:-1 F11 "
                     "Enter F11 pick:0 pick:-1 F11 pick:0 pick:1 F11 pick:0 pick:-1");
  EXPECT_EQ(
      keep(trace, {"MENU", "EDITOR"}),
      (Trace{"EDITOR \"A\" 0", "MENU \"Orbisline\" -> 0",
             "MENU \"&Turn off document colors\" -> -1", "MENU \"Orbisline\" -> 0",
             "MENU \"&Turn on document colors\" -> -1", "MENU \"Orbisline\" -> -1",
             "MENU \"Orbisline\" -> -1", "EDITOR \"B\" 0", "MENU \"Orbisline\" -> 0",
             "MENU \"&Back to: A\" \"&Turn off document colors\" -> -1", "MENU \"Orbisline\" -> 0",
             "MENU \"&Back to: A\" \"&Turn off document colors\" -> 1", "MENU \"Orbisline\" -> 0",
             "MENU \"&Back to: A\" \"&Turn on document colors\" -> -1"}));
}

TEST_F(HeadlessTest, HostVersionsDecideWhatTheViewerDoes) {
  std::string first = writeFile("a.htm", "<title>A</title><a href=b.htm>b</a>");
  writeFile("b.htm", "<title>B</title>b");
  const std::string keys = "Enter BS F11 pick:0 pick:-1";
  // 1.62: only the notice, and FILE counts as refused.
  Outcome outcome = playOutcome(first, keys, {"--host-version", "1.62"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(splitLines(outcome.out),
            (Trace{"MESSAGE \"Orbisline\" \"Sorry, but Orbisline required Far 1.63 or above!\" "
                   "\"Ok\" -> 0"}));
  EXPECT_EQ(outcome.err,
            "orbisline: " + first + ": Sorry, but Orbisline required Far 1.63 or above!\n");
  // 1.63: pages open, but links to files and the history do not exist.
  Trace trace = play(first, keys, {"--host-version", "1.63"});
  EXPECT_EQ(keep(trace, {"EDITOR", "MENU", "KEY Enter", "KEY BS"}),
            (Trace{"EDITOR \"A\" 0", "KEY Enter -> 1", "KEY BS -> 1", "MENU \"Orbisline\" -> 0",
                   "MENU \"&Turn off document colors\" -> -1"}));
  // 1.64: both.
  trace = play(first, keys, {"--host-version", "1.64"});
  EXPECT_EQ(keep(trace, {"EDITOR", "MENU"}),
            (Trace{"EDITOR \"A\" 0", "EDITOR \"B\" 0", "EDITOR \"A\" 0", "MENU \"Orbisline\" -> 0",
                   "MENU \"&Turn off document colors\" -> -1"}));
  // Whatever follows the second full stop runs on into the minor number.
  trace = play(first, "Enter", {"--host-version", "1.6.4"});
  EXPECT_EQ(keep(trace, {"EDITOR"}), (Trace{"EDITOR \"A\" 0", "EDITOR \"B\" 0"}));
}

TEST_F(HeadlessTest, AnEditedFileOpensInTheViewerFromThePluginMenu) {
  std::string page = writeFile("a.htm", "<title>A</title>\n<a href=b.htm>b</a>\n");
  writeFile("b.htm", "<title>B</title>b");
  // The plain editor is not the plug-in's: its keys pass, and it moves.
  Trace trace = play(page, "Down x F11 pick:-1 F11 pick:0 Enter", {"--edit"});
  EXPECT_EQ(keep(trace, {"EDITOR", "CLOSE", "MENU", "KEY", "CURSOR"}),
            (Trace{"KEY Down -> 0",
                   "CURSOR 1 0 0",
                   "KEYUP Down -> 0",
                   "CURSOR 1 0 0",
                   "KEY x -> 0",
                   "CURSOR 1 0 0",
                   "KEYUP x -> 0",
                   "CURSOR 1 0 0",
                   "KEY F11 -> 0",
                   "MENU \"Orbisline\" -> -1",
                   "CURSOR 1 0 0",
                   "KEYUP F11 -> 0",
                   "CURSOR 1 0 0",
                   "KEY F11 -> 0",
                   "MENU \"Orbisline\" -> 0",
                   "EDITOR \"A\" 0",
                   "KEY Enter -> 1",
                   "CLOSE",
                   "EDITOR \"B\" 0",
                   "CLOSE",
                   "CURSOR 1 0 0"}));
}

TEST_F(HeadlessTest, KeysTheViewerSwallowsAndPasses) {
  std::string page = writeFile("a.htm", "<title>A</title>text");
  const char* consumed[] = {"a",   "Z",       "7",        "Del",    "Tab",   "Esc", "F2",
                            "F10", "Shift+x", "Ctrl+Del", "Alt+F2", "Space", "F3",  "F9"};
  const char* passed[] = {"F6",   "F12",   "Ins",  "F1",   "F7",   "F8",  "Up",        "Down",
                          "Left", "Right", "PgUp", "PgDn", "Home", "End", "Ctrl+Home", "Shift+F12"};
  std::string keys;
  for (const char* key : consumed) keys += std::string(key) + " ";
  for (const char* key : passed) keys += std::string(key) + " ";
  Trace trace = play(page, keys);
  for (const char* key : consumed) {
    EXPECT_EQ(countOf(trace, "KEY " + std::string(key) + " -> 1"), 1) << key;
  }
  for (const char* key : passed) {
    EXPECT_EQ(countOf(trace, "KEY " + std::string(key) + " -> 0"), 1) << key;
  }
  // Key releases are never the editor's.
  EXPECT_EQ(static_cast<int>(keep(trace, {"KEYUP"}).size()),
            static_cast<int>(std::size(consumed) + std::size(passed)));
  for (const std::string& line : keep(trace, {"KEYUP"})) {
    EXPECT_EQ(line.substr(line.size() - 5), " -> 1") << line;
  }
}

TEST_F(HeadlessTest, PageColoursOrTheSettingsColoursPaintTheScreen) {
  // The page's navy background is the editor's own (palette entry 53 is
  // 0x1B by default): no fills. The settings' silver is not: every screen
  // line is filled to the window's edge, the lines below the text whole.
  std::string page = writeFile("a.htm",
                               "<title>A</title><body bgcolor=#000080 text=#FFFF00 link=#00FF00 "
                               "alink=#FF00FF>plain <a href=b.htm>link</a></body>");
  Trace trace = play(page, "F11 pick:0 pick:0 Right Right Right Right Right Right");
  Trace pageColours = after(trace, "EDITOR \"A\" 0", "KEY");
  EXPECT_EQ(pageColours, (Trace{TitleNone, "ADDCOLOR 0 0 5 1E", "ADDCOLOR 0 6 9 1A", TitleNone}));
  Trace settingsColours = after(trace, "KEYUP F11 -> 1", "KEY");
  Trace filled = {"CURSOR 0 0 0",       "ADDCOLOR 0 0 5 70",
                  "ADDCOLOR 0 6 9 79",  "ADDCOLOR 0 10 39 70",
                  "ADDCOLOR 1 0 39 70", "ADDCOLOR 2 0 39 70",
                  "ADDCOLOR 3 0 39 70", "ADDCOLOR 4 0 39 70",
                  "ADDCOLOR 5 0 39 70", TitleNone};
  EXPECT_EQ(settingsColours, filled);
  // The sixth step right reaches the link: the settings' active colour,
  // and its target as the title.
  EXPECT_EQ(countOf(after(trace, "KEY Right -> 0", "KEYUP", 5), "ADDCOLOR 0 6 9 79"), 1);
  Trace onLink = after(trace, "KEY Right -> 0", "KEYUP", 6);
  EXPECT_EQ(countOf(onLink, "ADDCOLOR 0 6 9 7C"), 1);
  EXPECT_EQ(countOf(onLink, "TITLE \"b.htm\""), 1);
}

TEST_F(HeadlessTest, TheLinkUnderTheCursorLightsUpBeforeTheEditorMoves) {
  std::string page =
      writeFile("a.htm", "<title>A</title>line one<br><a href=\"b%2Ehtm+x\">link</a><br>after");
  Trace trace = play(page, "Down Down");
  // Down on the line above the link: the redraw right after already shows
  // it active (silver on red is 7C), and its decoded target as the title.
  EXPECT_EQ(
      after(trace, "KEY Down -> 0", "KEYUP"),
      (Trace{"CURSOR 1 0 0", "ADDCOLOR 0 0 7 70", "ADDCOLOR 0 8 39 70", "TITLE \"b.htm x\"",
             "ADDCOLOR 1 0 3 7C", "ADDCOLOR 1 4 39 70", "ADDCOLOR 2 0 4 70", "ADDCOLOR 2 5 39 70",
             "ADDCOLOR 3 0 39 70", "ADDCOLOR 4 0 39 70", "ADDCOLOR 5 0 39 70"}));
  // The next Down leaves it: plain link colour, and the title goes back.
  Trace left = after(trace, "KEY Down -> 0", "KEYUP", 2);
  EXPECT_EQ(countOf(left, "ADDCOLOR 1 0 3 79"), 1);
  EXPECT_EQ(left.back(), TitleNone);
}

TEST_F(HeadlessTest, HoverLightsEveryPieceOfAWrappedLinkAndAClickFollowsIt) {
  width = 20;
  std::string page =
      writeFile("a.htm",
                "<title>A</title><p>x <a href=\"t%20x.htm\">aaaa bbbb cccc dddd eeee ffff gggg "
                "hhhh iiii</a> y</p>");
  writeFile("t x.htm", "<title>T</title>t");
  std::vector<Piece> pieces = linkPieces(runsOf(page), "t%20x.htm");
  ASSERT_EQ(pieces.size(), 3u);
  // The middle piece, at console row 2 (text row 1).
  Trace trace = play(page, "move:5,2 move:5,2 click:5,2");
  Trace hover = after(trace, "REDRAW", "MOUSE");
  for (const Piece& piece : pieces) {
    std::string lit = "ADDCOLOR " + std::to_string(piece.line) + " " + std::to_string(piece.start) +
                      " " + std::to_string(piece.end) + " 7C";
    EXPECT_EQ(countOf(hover, lit), 1) << lit;
  }
  EXPECT_EQ(countOf(hover, "TITLE \"t x.htm\""), 3);
  // The same cell again is not a move; the click follows the link.
  EXPECT_EQ(keep(trace, {"MOUSE", "EDITOR", "CLOSE", "REDRAW", "QUIT"}),
            (Trace{"EDITOR \"A\" 0", "REDRAW", "MOUSE 5,2 0 -> 0", "MOUSE 5,2 0 -> 0", "QUIT",
                   "REDRAW", "MOUSE 5,2 1 -> 1", "CLOSE", "EDITOR \"T\" 0", "CLOSE"}));
}

// Scrolled sideways, the pointer's cell is a text column past the left
// one: the link under the pointer lights, and the lines are coloured out to
// the screen's last text column.
TEST_F(HeadlessTest, HoverInAScrolledEditorLightsTheLinkUnderThePointer) {
  std::string page =
      writeFile("wide.htm", "<title>W</title><pre>" + std::string(170, 'x') +
                                "<a href=far.htm>far</a>" + std::string(7, 'y') + "</pre>");
  // End puts the cursor after the line's 180 cells, the editor's left
  // column at 141: the link's text columns 170 to 172 show at 29 to 31.
  Trace trace = play(page, "End move:29,1");
  Trace hover = after(trace, "REDRAW", "MOUSE");
  EXPECT_EQ(countOf(hover, "ADDCOLOR 0 170 172 7C"), 1);
  EXPECT_EQ(countOf(hover, "ADDCOLOR 0 173 179 70"), 1);
  EXPECT_EQ(countOf(hover, "ADDCOLOR 1 0 180 70"), 1);
  EXPECT_EQ(countOf(hover, "TITLE \"far.htm\""), 1);
}

TEST_F(HeadlessTest, SavingIsAnsweredWithANoticeAndOtherEditorsAreLeftAlone) {
  std::string page = writeFile("a.htm", "<title>A</title><a href=b.htm>b</a>");
  Trace trace = play(page, "save other F2 save");
  EXPECT_EQ(keep(trace, {"MESSAGE \"Orbisline\" \"Sorry", "KEY"}),
            (Trace{SaveNotice, "KEY x -> 0", "KEY F2 -> 1", "KEYUP F2 -> 1", SaveNotice}));
  // The other editor's key, redraw and save cause nothing at all.
  auto other = std::find(trace.begin(), trace.end(), "KEY x -> 0");
  ASSERT_NE(other, trace.end());
  EXPECT_EQ(other[1], "KEY F2 -> 1");
}

TEST_F(HeadlessTest, ALinkFarDownALongPageIsFollowed) {
  height = 12;
  std::string page = "<title>Long</title><a href=#deep>down</a><pre>";
  page.append(40005, '\n');
  page += "</pre><a name=deep></a><a href=z.htm>far link</a><pre>";
  page.append(20, '\n');
  page += "</pre>end";
  std::string first = writeFile("long.htm", page);
  writeFile("z.htm", "<title>Z</title>z");
  const int deep = runsNumber(runsOf(first), "anchor \"deep\"") - 1;
  ASSERT_GT(deep, 40000);
  Trace trace = play(first, "Enter Enter BS");
  const std::string line = std::to_string(deep);
  EXPECT_EQ(keep(trace, {"EDITOR", "SETPOSITION"}),
            (Trace{"EDITOR \"Long\" 0", "SETPOSITION " + line + " 0 " + line, "EDITOR \"Z\" 0",
                   "EDITOR \"Long\" " + line}));
}

TEST_F(HeadlessTest, TheTimeOutQuestionIsAnsweredByTheScript) {
  std::string page;
  for (int i = 0; i < 200000; ++i) page += "<p>paragraph " + std::to_string(i) + "</p>\n";
  std::string file = writeFile("big.htm", page);
  std::string settings = writeFile("quick.obs", "<Orbisline timeout=1></Orbisline>");
  const std::string question =
      "MESSAGE \"Warning\" \"Oops! Time Out ... please report about\" \"Resume\" \"Terminate\"";
  // Terminate: asked once, and the page read so far is shown.
  Trace trace = play(file, "pick:1", {"--settings", settings});
  EXPECT_EQ(keep(trace, {"MESSAGE \"Warning\"", "EDITOR"}),
            (Trace{question + " -> 1", "EDITOR \"No Title\" 0"}));
  // No answer given: Resume, as often as asked, and the page opens.
  trace = play(file, "", {"--settings", settings});
  Trace asked = keep(trace, {"MESSAGE \"Warning\""});
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(asked, Trace(asked.size(), question + " -> 0"));
  EXPECT_EQ(keep(trace, {"EDITOR"}), (Trace{"EDITOR \"No Title\" 0"}));
}

TEST_F(HeadlessTest, EveryModeReadsTheSettingsOfTheModule) {
  // A module elsewhere reads the settings beside it; so do the executable's
  // own modes.
  std::filesystem::path module = folder.path() / "Orbisline.so";
  std::filesystem::copy_file(ORBIS_BINARY_DIR "/Orbisline.so", module);
  writeFile("Orbisline.obs", "<Orbisline exts='txt '></Orbisline>");
  std::string page = writeFile("page.txt", "<title>P</title>p");
  environment = {{"ORBISLINE_PLUGIN", module.string()}};
  EXPECT_EQ(keep(play(page, ""), {"EDITOR"}), (Trace{"EDITOR \"P\" 0"}));
  EXPECT_EQ(run({"--runs", page}).status, 0);

  // The module beside the executable has the built-in settings: no .txt.
  environment.clear();
  Outcome refused = playOutcome(page, "");
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find(".txt is not accepted (accepted: .htm, .html)"), std::string::npos)
      << refused.err;
  // --settings names the file for the module too.
  std::string settings = writeFile("other.obs", "<Orbisline exts='txt '></Orbisline>");
  EXPECT_EQ(keep(play(page, "", {"--settings", settings}), {"EDITOR"}), (Trace{"EDITOR \"P\" 0"}));

  environment = {{"ORBISLINE_PLUGIN", (folder.path() / "none.so").string()}};
  Outcome missing = playOutcome(page, "");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot load the plug-in module"), std::string::npos) << missing.err;
}

TEST_F(HeadlessTest, RefusedFilesAreNamedWithTheReason) {
  std::string missing = (folder.path() / "missing.htm").string();
  struct Case {
    std::string file;
    const char* reason;
  };
  const Case cases[] = {
      {missing, "No such file"},
      {writeFile("void.htm", ""), "empty"},
      {writeFile("notes.txt", "<p>x</p>"), ".txt is not accepted"},
      {folder.path().string(), "no extension"},
  };
  for (const Case& c : cases) {
    Outcome outcome = playOutcome(c.file, "Enter");
    EXPECT_EQ(outcome.status, 1) << c.file;
    EXPECT_TRUE(outcome.out.empty()) << outcome.out;
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    EXPECT_EQ(outcome.err.rfind("orbisline: " + c.file + ": ", 0), 0u) << outcome.err;
    EXPECT_NE(outcome.err.find(c.reason), std::string::npos) << outcome.err;
  }
  Outcome outcome = playOutcome(missing, "Enter", {"--edit"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("No such file"), std::string::npos) << outcome.err;
  EXPECT_EQ(temporaryFilesLeft(), 0);
}

// Strips the SGR sequences of a colour dump; false when any other control
// byte than a line feed is found (in 8-bit output, 0x80 to 0x9F are
// controls too).
bool stripColours(const std::string& dump, std::string& text, bool eightBit) {
  text.clear();
  for (std::size_t at = 0; at < dump.size(); ++at) {
    unsigned char byte = static_cast<unsigned char>(dump[at]);
    if (byte == 0x1B) {
      std::size_t end = dump.find('m', at);
      if (end == std::string::npos || dump.compare(at, 2, "\x1B[") != 0) return false;
      std::string_view parameters(dump.data() + at + 2, end - at - 2);
      if (parameters.find_first_not_of("0123456789;") != std::string_view::npos) return false;
      at = end;
    } else if ((byte < 0x20 && byte != '\n') || byte == 0x7F ||
               (eightBit && byte >= 0x80 && byte < 0xA0)) {
      return false;
    } else {
      text += dump[at];
    }
  }
  return true;
}

// The plain dump's rule holds for the colours too: in a UTF-8 locale the
// page's ESC shows as its picture and its C1 byte as the code page's
// character; otherwise both become '?'. The SGR sequences are the only other
// control bytes.
TEST_F(HeadlessTest, ColourDumpShowsWhatTheViewerPaints) {
  std::string page = writeFile("a.htm",
                               "<title>A</title><a href=b.htm>first</a> line<br>two<br>"
                               "<font color=red>three</font> \x1B[2J\x9B<br>four<br>five");
  struct Case {
    const char* locale;
    bool eightBit;
    std::string escape;  // what the page's ESC and 0x9B become
    std::string c1;
  };
  const Case cases[] = {{"C", true, "?", "?"}, {"C.UTF-8", false, "\xE2\x90\x9B", "\xE2\x80\xBA"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.locale);
    environment = {{"LC_ALL", c.locale}};
    std::vector<std::string> arguments = {"--dump",   "--width", "20",
                                          "--height", "5",       page};  // 3 text rows
    Outcome plain = run(arguments);
    arguments.insert(arguments.begin() + 1, "--color");
    Outcome colored = run(arguments);
    ASSERT_EQ(colored.status, 0) << colored.err;
    EXPECT_TRUE(colored.err.empty());

    std::string text;
    ASSERT_TRUE(stripColours(colored.out, text, c.eightBit)) << colored.out;
    Trace plainLines = splitLines(plain.out);
    Trace coloredLines = splitLines(colored.out);
    Trace textLines = splitLines(text);
    ASSERT_EQ(textLines.size(), plainLines.size());
    for (std::size_t i = 0; i < textLines.size(); ++i) {
      // Silver fills every line to the window's edge.
      EXPECT_EQ(textLines[i].substr(0, plainLines[i].size()), plainLines[i]) << i;
      std::string cells = textLines[i];
      for (const std::string& shown : {c.escape, c.c1}) {
        std::size_t at = cells.find(shown);
        if (at != std::string::npos) cells.replace(at, shown.size(), "x");
      }
      EXPECT_EQ(cells.size(), 20u) << i;
      EXPECT_EQ(coloredLines[i].substr(coloredLines[i].size() - 4), "\x1B[0m") << i;
    }
    EXPECT_NE(text.find("three " + c.escape + "[2J" + c.c1), std::string::npos) << text;
    // Opened with the saved cursor on the first link: bright red on silver.
    EXPECT_EQ(coloredLines[0].rfind("\x1B[91;47mfirst\x1B[30;47m line", 0), 0u) << coloredLines[0];
    // A page colour (red is bright red) on the third line, the second screen.
    EXPECT_EQ(coloredLines[2].rfind("\x1B[91;47mthree\x1B[30;47m ", 0), 0u) << coloredLines[2];
  }
  EXPECT_EQ(temporaryFilesLeft(), 0);
}

}  // namespace
}  // namespace orbis
