// The executable's command line and its in-process modes.
#include <fcntl.h>
#include <locale.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "orbisline_runner.h"

namespace orbis {
namespace {

using orbis::testing::ChildSetup;
using orbis::testing::Outcome;

class CliTest : public orbis::testing::OrbislineRunner {};

int countLines(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(CliTest, HelpDescribesTheModes) {
  Outcome outcome = run({"--help"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_TRUE(outcome.err.empty());
  for (const char* word : {"Usage: orbisline", "--tree", "--dump", "--runs", "--width", "--height",
                           "--settings", "--headless", "--keys", "--trace", "--host-version",
                           "--edit", "--color", "--batch", "ORBISLINE_PLUGIN"}) {
    EXPECT_NE(outcome.out.find(word), std::string::npos) << word;
  }
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
  struct Case {
    std::vector<std::string> arguments;
    const char* message;
  };
  const Case cases[] = {
      {{"--width", "80", "page.htm"}, "apply to --dump, --runs and --headless only"},
      {{"--color", "page.htm"}, "--color applies to --dump only"},
      {{"--bogus", "page.htm"}, "unknown option '--bogus'"},
      {{"--dump"}, "no FILE"},
      {{"--dump", "a.htm", "b.htm"}, "only one FILE"},
      {{"--tree", "--dump", "a.htm"}, "only one of"},
      {{"--dump", "--width", "1", "a.htm"}, "--width must be a number from 2"},
      {{"--dump", "--width=0", "a.htm"}, "--width must be a number from 2"},
      {{"--runs", "--width", "wide", "a.htm"}, "--width must be"},
      {{"--dump", "--height", "0", "a.htm"}, "--height must be a number from 1"},
      {{"--dump", "--width", "99999999999", "a.htm"}, "--width must be"},
      {{"--dump", "a.htm", "--width"}, "--width needs a value"},
      {{"--tree", "--width", "80", "a.htm"}, "apply to --dump, --runs and --headless only"},
      {{"--runs", "--color", "a.htm"}, "--color applies to --dump only"},
      {{"--dump", "--keys", "Up", "a.htm"}, "apply to --headless only"},
      {{"--dump", "--edit", "a.htm"}, "apply to --headless only"},
      {{"--runs", "--host-version", "1.64", "a.htm"}, "--host-version applies to"},
      {{"--headless", "--trace=", "a.htm"}, "--trace needs a file name"},
      {{"--headless", "--keys", "Down Escape pick:1", "a.htm"},
       "unknown key script token \"Escape\""},
      {{"--headless", "--keys", "move:1,\x1b", "a.htm"}, "token \"move:1,\\x1B\""},
      {{"--runs", "--raw", "a.htm"}, "--raw applies to --dump only"},
      {{"--dump", "--raw", "--color", "a.htm"}, "--raw and --color cannot be used together"},
      {{"--headless", "--batch", "list"}, "--batch applies to --tree, --runs and --dump"},
      {{"--dump", "--color", "--batch", "list"}, "--batch applies to"},
      {{"--tree", "--batch", "list", "a.htm"}, "no FILE may be given"},
  };
  for (const Case& c : cases) {
    Outcome outcome = run(c.arguments);
    std::string shown;
    for (const std::string& argument : c.arguments) shown += argument + " ";
    EXPECT_EQ(outcome.status, 2) << shown;
    EXPECT_TRUE(outcome.out.empty()) << shown;
    EXPECT_NE(outcome.err.find(c.message), std::string::npos) << shown << "-> " << outcome.err;
    EXPECT_EQ(outcome.err.rfind("orbisline: ", 0), 0u) << outcome.err;
  }
}

// A batch is the pages' own outputs one after the other, each after its
// header; a page that fails says so and the others go on.
TEST_F(CliTest, BatchRunsEachPageOfTheList) {
  std::string first = writeFile("a.htm", "<title>A</title><p>first <a href=#x>link</a>");
  std::string second = writeFile("b\x1b.htm", "<pre>second\tpage</pre>");
  std::string missing = (folder.path() / "gone.htm").string();
  writeFile("list.txt", first + "\n\n" + missing + "\r\n" + second + "\n");
  std::string list = (folder.path() / "list.txt").string();
  for (std::vector<std::string> mode :
       {std::vector<std::string>{"--tree"}, {"--runs"}, {"--dump", "--raw", "--width", "30"}}) {
    std::string expected;
    for (const std::string& page : {first, missing, second}) {
      std::vector<std::string> single = mode;
      single.push_back(page);
      std::string shown = page == second ? page.substr(0, page.size() - 5) + "\\x1B.htm" : page;
      expected += "==> " + shown + " <==\n" + run(single).out;
    }
    std::vector<std::string> batch = mode;
    batch.insert(batch.end(), {"--batch", list});
    Outcome outcome = run(batch);
    EXPECT_EQ(outcome.status, 1) << mode[0];
    EXPECT_EQ(outcome.out, expected) << mode[0];
    EXPECT_EQ(countLines(outcome.err), 1) << outcome.err;
    EXPECT_NE(outcome.err.find("gone.htm"), std::string::npos) << outcome.err;
  }
  EXPECT_EQ(temporaryFilesLeft(), 0);
  Outcome unreadable = run({"--tree", "--batch", missing});
  EXPECT_EQ(unreadable.status, 1);
  EXPECT_NE(unreadable.err.find("cannot read the list of pages"), std::string::npos);
}

TEST_F(CliTest, TreePrintsOneNodePerLine) {
  struct Case {
    std::string input;
    std::string expected;
  };
  const Case cases[] = {
      {"hello", "| \"hello\"\n"},
      {"<p align=center>one<br>two</p>",
       "| <p>\n|   align=\"center\"\n|   \"one\"\n|   <br>\n|   \"two\"\n"},
      {"<DIV Class=a class=b><I>x</I></DIV>tail",
       "| <DIV>\n|   Class=\"a\"\n|   class=\"b\"\n|   <I>\n|     \"x\"\n| \"tail\"\n"},
      {"</p>text", "| \"text\"\n"},
      // Every escape class, in pre (which keeps white space) and in a value.
      {"<pre>a\tb\rc\r\nd\x7f\x80\xff&#1;\\\"</pre><x v=\"q\tr\x1bs\">",
       "| <pre>\n|   \"a\\tb\\rc\\nd\\x7F\\x80\\xFF\\x01\\\\\\\"\"\n| <x>\n|   "
       "v=\"q\\tr\\x1Bs\"\n"},
      {"<a b=\"\\\" c='\"'>", "| <a>\n|   b=\"\\\\\"\n|   c=\"\\\"\"\n"},
  };
  for (const Case& c : cases) {
    Outcome outcome = run({"--tree", writeFile("input.txt", c.input)});
    EXPECT_EQ(outcome.status, 0) << c.input;
    EXPECT_EQ(outcome.out, c.expected) << c.input;
    EXPECT_TRUE(outcome.err.empty()) << outcome.err;
  }
}

// The code page comes from the environment. A Cyrillic page in each of its
// encodings shows as the same bytes of that page, in every mode; without
// the conversion, the bytes stay as written.
TEST_F(CliTest, CyrillicPagesReadInTheirCodePage) {
  environment = {{"ORBISLINE_CODEPAGE", "CP1251"}};
  const std::string cp1251 = "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0! \xA8\xE6 \xA9";
  const std::string koi8 = "\xF0\xD2\xC9\xD7\xC5\xD4, \xCD\xC9\xD2! \xB3\xD6 \xBF";
  const std::string utf8 =
      "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xD0\xBC\xD0\xB8\xD1\x80! "
      "\xD0\x81\xD0\xB6 \xC2\xA9";
  const std::string pages[] = {
      "<meta charset=windows-1251><p>" + cp1251,
      "<meta http-equiv=Content-Type content='text/html; charset=KOI8-R'><p>" + koi8,
      "<meta charset=utf-8><p>" + utf8,
      "<p>" + utf8,
      "\xEF\xBB\xBF<p>" + utf8 + " &copy; &mdash;",
  };
  const std::string treeText =
      "\"\\xCF\\xF0\\xE8\\xE2\\xE5\\xF2, \\xEC\\xE8\\xF0! \\xA8\\xE6 \\xA9";
  for (const std::string& page : pages) {
    std::string path = writeFile("page.html", page);
    Outcome dump = run({"--dump", "--raw", "--width", "40", "--height", "2", path});
    EXPECT_EQ(dump.status, 0) << dump.err;
    const std::string shown = cp1251 + (page.back() == ';' ? " (c) \x97\n" : "\n");
    EXPECT_EQ(dump.out.substr(0, shown.size()), shown) << page;
    Outcome tree = run({"--tree", path});
    EXPECT_NE(tree.out.find(treeText), std::string::npos) << tree.out;
  }
  std::string none = writeFile("none.obs", "<Orbisline><Default charset=none></Orbisline>");
  Outcome asWritten =
      run({"--dump", "--raw", "--settings", none, writeFile("page.html", pages[3])});
  EXPECT_EQ(asWritten.out.substr(0, utf8.size()), utf8);
}

TEST_F(CliTest, TreeWalksDeepTreesWithoutRecursion) {
  constexpr int Depth = 3000;
  std::string input;
  for (int i = 0; i < Depth; ++i) input += "<b>";
  input += "x";
  for (int i = 0; i < Depth; ++i) input += "</b>";
  Outcome outcome = run({"--tree", writeFile("deep.htm", input)});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(countLines(outcome.out), Depth + 1);
  std::string last = "| " + std::string(2 * Depth, ' ') + "\"x\"\n";
  ASSERT_GE(outcome.out.size(), last.size());
  EXPECT_EQ(outcome.out.substr(outcome.out.size() - last.size()), last);
}

TEST_F(CliTest, UnreadableFilesAreNamedWithTheReason) {
  std::string missing = (folder.path() / "missing.htm").string();
  struct Case {
    std::vector<std::string> arguments;
    std::string named;
    const char* reason;
  };
  const Case cases[] = {
      {{"--tree", missing}, missing, "No such file"},
      {{"--dump", missing}, missing, "No such file"},
      {{"--runs", missing}, missing, "No such file"},
      {{"--tree", folder.path().string()}, folder.path().string(), "directory"},
      {{"--dump", writeFile("empty.htm", "")}, "empty.htm", "empty"},
      {{"--dump", "--settings", missing, writeFile("ok.htm", "x")}, missing, "No such file"},
  };
  // A name's control characters never reach the terminal that shows the
  // message, and the message stays one line.
  std::string hostile = writeFile("a\x1B]2;owned\x07\nb.txt", "x");
  Outcome shown = run({"--dump", hostile}, {.environment = {{"LC_ALL", "C.UTF-8"}}});
  EXPECT_EQ(countLines(shown.err), 1) << shown.err;
  EXPECT_NE(shown.err.find("a\u241B]2;owned\u2407\u240Ab.txt"), std::string::npos) << shown.err;
  shown = run({"--dump", hostile}, {.environment = {{"LC_ALL", "C"}}});
  EXPECT_NE(shown.err.find("a?]2;owned??b.txt"), std::string::npos) << shown.err;
  for (const Case& c : cases) {
    Outcome outcome = run(c.arguments);
    EXPECT_EQ(outcome.status, 1) << c.named;
    EXPECT_TRUE(outcome.out.empty());
    EXPECT_EQ(countLines(outcome.err), 1) << outcome.err;
    EXPECT_NE(outcome.err.find(c.named), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find(c.reason), std::string::npos) << outcome.err;
  }
  EXPECT_EQ(temporaryFilesLeft(), 0);
}

// The temporary file is not the page's fault: the message names the folder
// or the file, with the system's reason.
TEST_F(CliTest, TemporaryFileFailuresSayWhy) {
  std::string bigPage;
  for (int i = 0; i < 2000; ++i) bigPage += "<p>paragraph " + std::to_string(i) + "</p>\n";
  std::string page = writeFile("page.htm", bigPage);
  std::string missing = (folder.path() / "missing").string();
  std::string notFolder = writeFile("file", "x");
  struct Case {
    ChildSetup setup;
    std::string named;
    std::string reason;
  };
  const Case cases[] = {
      {{.environment = {{"TMPDIR", missing}}},
       "cannot create a temporary file in " + missing,
       "No such file or directory"},
      {{.environment = {{"TMPDIR", notFolder}}},
       "cannot create a temporary file in " + notFolder,
       "Not a directory"},
      {{.fileSizeLimit = 4096},
       "cannot write the temporary file " + (folder.path() / "tmp/~ob").string(),
       "File too large"},
  };
  // The host modes hear the reason from the plug-in's own load. The
  // diagnostic modes print the text without writing the file, so a limit
  // on file sizes meets their output instead.
  for (std::vector<std::string> mode :
       {std::vector<std::string>{"--dump"}, {"--runs"}, {"--dump", "--color"}, {"--headless"}}) {
    bool diagnostic = mode.size() == 1 && mode[0] != "--headless";
    for (const Case& c : cases) {
      mode.push_back(page);
      Outcome outcome = run(mode, c.setup);
      mode.pop_back();
      std::string named = diagnostic && c.setup.fileSizeLimit != 0
                              ? std::string("cannot write to standard output")
                              : c.named;
      EXPECT_EQ(outcome.status, 1) << mode.back() << " " << named;
      EXPECT_EQ(outcome.err.rfind("orbisline: " + named, 0), 0u) << outcome.err;
      std::string end = ": " + c.reason + "\n";
      EXPECT_TRUE(outcome.err.size() > end.size() &&
                  outcome.err.compare(outcome.err.size() - end.size(), end.size(), end) == 0)
          << outcome.err;
      EXPECT_EQ(countLines(outcome.err), 1) << outcome.err;
    }
  }
  EXPECT_EQ(temporaryFilesLeft(), 0);
}

// An unusable code page is reported once, before anything else, and the
// run goes on with Windows-1252; a usable one says nothing.
TEST_F(CliTest, UnusableCodePageIsReportedAtStart) {
  std::string page = writeFile("page.htm", "caf&eacute;");
  struct Case {
    const char* name;
    const char* message;
    const char* text;
  };
  const Case cases[] = {
      {"NO-SUCH-PAGE", "iconv does not know the code page 'NO-SUCH-PAGE'; using CP1252",
       "caf\xE9\n"},
      {"UTF-8", "'UTF-8' is not a single-byte code page", "caf\xE9\n"},
      {"CP1252", nullptr, "caf\xE9\n"},
      {"CP1251", nullptr, "caf?\n"},
  };
  for (const Case& c : cases) {
    Outcome outcome = run({"--dump", "--raw", "--height", "5", page},
                          {.environment = {{"ORBISLINE_CODEPAGE", c.name}}});
    EXPECT_EQ(outcome.status, 0) << c.name;
    EXPECT_EQ(outcome.out, std::string(c.text) + "\n") << c.name;
    if (c.message == nullptr) {
      EXPECT_EQ(outcome.err, "") << c.name;
    } else {
      EXPECT_EQ(outcome.err.rfind(std::string("orbisline: ORBISLINE_CODEPAGE: ") + c.message, 0),
                0u)
          << outcome.err;
      EXPECT_EQ(countLines(outcome.err), 1) << outcome.err;
    }
  }
}

TEST_F(CliTest, EmptyFileIsRefusedByEveryMode) {
  std::string empty = writeFile("empty.htm", "");
  for (const char* mode : {"--tree", "--dump", "--runs"}) {
    Outcome outcome = run({mode, empty});
    EXPECT_EQ(outcome.status, 1) << mode;
    EXPECT_TRUE(outcome.out.empty()) << mode;
    EXPECT_EQ(outcome.err, "orbisline: " + empty + ": is empty\n") << mode;
  }
}

TEST_F(CliTest, RefusedExtensionListsTheAcceptedOnes) {
  std::string text = writeFile("notes.txt", "<p>x</p>");
  Outcome outcome = run({"--dump", text});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("notes.txt"), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find(".htm, .html"), std::string::npos) << outcome.err;

  std::string settings = writeFile("custom.obs", "<Orbisline exts='xhtml shtml'></Orbisline>");
  outcome = run({"--runs", "--settings", settings, text});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find(".xhtml, .shtml"), std::string::npos) << outcome.err;

  outcome = run({"--dump", writeFile("noextension", "x")});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("no extension"), std::string::npos) << outcome.err;
  EXPECT_EQ(temporaryFilesLeft(), 0);
}

TEST_F(CliTest, DumpPrintsTheTemporaryFile) {
  std::string page = writeFile("page.htm", "<p>Hello world</p><p align=right>end</p>");
  Outcome outcome = run({"--dump", "--width", "40", "--height", "10", page});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "Hello world\n\n" + std::string(37, ' ') + "end\n" + std::string(4, '\n'));
  EXPECT_TRUE(outcome.err.empty());

  // Not on a terminal, the console is 80 by 25.
  outcome = run({"--dump", page});
  EXPECT_EQ(outcome.out,
            "Hello world\n\n" + std::string(77, ' ') + "end\n" + std::string(19, '\n'));
  EXPECT_EQ(temporaryFilesLeft(), 0);
}

TEST_F(CliTest, DumpTrimsTheNameLikeTheViewer) {
  std::string page = writeFile("a b.htm", "<p>spaced</p>");
  Outcome outcome = run({"--dump", "  \"" + page + "\" ignored  "});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out.rfind("spaced\n", 0), 0u) << outcome.out;
}

TEST_F(CliTest, RunsPrintsTheRenderedModel) {
  std::string page = writeFile(
      "page.html",
      "<title>Tit&quot;le</title><a name=Top></a><p>see <a href=\"b.htm#x\">the link</a></p>"
      "<a name=alpha></a><a name=ALPHA2></a><a name=top></a>"
      "<p align=center><a href=w>aaaa bbbb cccc</a></p>");
  Outcome outcome = run({"--runs", "--width", "12", "--height", "8", page});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  // Built-in settings: silver background (7), black text (0), links blue (9)
  // and red when active (12). Anchors sort case-blind, the shorter first,
  // and keep the spelling they were first entered with.
  EXPECT_EQ(outcome.out,
            "title \"Tit\\\"le\"\n"
            "lastLineIndex 5\n"
            "normal 7 0\n"
            "anchor \"alpha\" 3\n"
            "anchor \"ALPHA2\" 3\n"
            "anchor \"Top\" 3\n"
            "line 0\n"
            "  text 0 3 7 0 \"see \"\n"
            "  link 4 11 7 9 7 12 \"the link\" \"b.htm#x\"\n"
            "line 1\n"
            "line 2\n"
            "  text 0 0 7 0 \" \"\n"
            "  link 1 9 7 9 7 12 \"aaaa bbbb\" \"w\" next\n"
            "line 3\n"
            "  text 0 3 7 0 \"    \"\n"
            "  link 4 7 7 9 7 12 \"cccc\" \"w\" prev\n"
            "line 4\n"
            "line 5\n");
  EXPECT_EQ(temporaryFilesLeft(), 0);
}

TEST_F(CliTest, SettingsFileChangesTheColours) {
  std::string settings =
      writeFile("colours.obs", "<Orbisline><Default bgcolor=#000080 text=#FFFFFF></Orbisline>");
  std::string page = writeFile("page.htm", "x");
  Outcome outcome = run({"--runs", "--settings", settings, page});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(outcome.out.find("normal 1 15\n"), std::string::npos) << outcome.out;

  // An empty settings file means the built-in settings.
  outcome = run({"--runs", "--settings", writeFile("empty.obs", ""), page});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(outcome.out.find("normal 7 0\n"), std::string::npos) << outcome.out;

  // The user's own settings count in every mode, unless others are named.
  std::filesystem::create_directory(folder.path() / "config" / "orbisline");
  writeFile("config/orbisline/Orbisline.obs",
            "<Orbisline><Default bgcolor=#800000 text=#FFFF00></Orbisline>");
  outcome = run({"--runs", page});
  EXPECT_NE(outcome.out.find("normal 4 14\n"), std::string::npos) << outcome.out;
  outcome = run({"--runs", "--settings", settings, page});
  EXPECT_NE(outcome.out.find("normal 1 15\n"), std::string::npos) << outcome.out;
  outcome = run({"--dump", "--color", page});
  EXPECT_NE(outcome.out.find("\x1B[93;41mx"), std::string::npos) << outcome.out;
}

// Without a mode the program is the viewer; with its output going to a file
// or a pipe it writes what --dump writes, for each way of naming the page.
TEST_F(CliTest, ViewerWithoutATerminalWritesTheDump) {
  std::string page = writeFile("page.htm", "<title>T</title>one<br>two");
  std::filesystem::create_directory(folder.path() / "site");
  writeFile("site/index.htm", "in the site");
  std::filesystem::create_directory(folder.path() / "empty");
  std::string piped = writeFile("piped.txt", "from <b>a pipe</b>");
  std::string nothing = writeFile("nothing.txt", "");
  struct Case {
    std::vector<std::string> arguments;
    std::string input;  // a file for standard input, or none
    int status;
    std::string out;  // found in standard output
    std::string err;  // found in standard error
  };
  const Case cases[] = {
      {{page}, "", 0, "one\ntwo\n", ""},
      {{(folder.path() / "site").string()}, "", 0, "in the site\n", ""},
      {{"-"}, piped, 0, "from a pipe\n", ""},
      // The welcome pages: the first is titled with the program's name.
      {{}, "", 0, "Orbisline", ""},
      {{(folder.path() / "empty").string()}, "", 1, "", "has no index.html or index.htm"},
      {{"-"}, nothing, 1, "", "standard input holds no page"},
      {{"--version"}, "", 0, "orbisline 1.0.0\n", ""},
      // Every mode that renders reads a page from standard input too.
      {{"--dump", "-"}, piped, 0, "from a pipe\n", ""},
      {{"--runs", "-"}, piped, 0, "\"a pipe\"", ""},
      {{"--tree", "-"}, piped, 0, "| <b>\n", ""},
      {{"--runs", "-"}, nothing, 1, "", "standard input holds no page"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.empty() ? std::string("(none)") : c.arguments[0]);
    ChildSetup setup;
    if (!c.input.empty()) setup.input = open(c.input.c_str(), O_RDONLY | O_CLOEXEC);
    Outcome outcome = run(c.arguments, setup);
    if (setup.input >= 0) close(setup.input);
    EXPECT_EQ(outcome.status, c.status) << outcome.err;
    EXPECT_NE(outcome.out.find(c.out), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.err.find(c.err), std::string::npos) << outcome.err;
    if (c.status == 0) {
      EXPECT_EQ(outcome.err, "");
    }
    EXPECT_EQ(temporaryFilesLeft(), 0);
  }
}

TEST_F(CliTest, InterruptRemovesTheTemporaryFile) {
  std::string page;
  for (int i = 0; i < 200000; ++i) page += "<p>paragraph " + std::to_string(i) + "</p>\n";
  std::string path = writeFile("big.htm", page);
  pid_t child = start({"--dump", path});
  ASSERT_GT(child, 0);
  // Wait until the document has made its temporary file, then interrupt.
  int status = 0;
  bool ended = false;
  for (int i = 0; i < 5000 && !ended && temporaryFilesLeft() == 0; ++i) {
    ended = waitpid(child, &status, WNOHANG) == child;
    usleep(1000);
  }
  if (!ended) {
    kill(child, SIGINT);
    ASSERT_EQ(waitpid(child, &status, 0), child);
  }
  EXPECT_TRUE(WIFSIGNALED(status) ? WTERMSIG(status) == SIGINT : WEXITSTATUS(status) == 0);
  EXPECT_EQ(temporaryFilesLeft(), 0);
}

// A reader that stops early (head, a pager quit at once) closes the pipe:
// the program ends without a message and without leftovers, by SIGPIPE as
// filters do or, started with that signal ignored, with status 1.
TEST_F(CliTest, ClosedPipeEndsQuietlyWithoutLeftovers) {
  std::string page;
  for (int i = 0; i < 20000; ++i) page += "<p>paragraph " + std::to_string(i) + "</p>\n";
  std::string path = writeFile("big.htm", page);
  for (std::vector<std::string> arguments :
       {std::vector<std::string>{"--dump", path}, {"--runs", path}, {"--dump", "--color", path}}) {
    for (bool ignored : {false, true}) {
      SCOPED_TRACE(arguments[arguments.size() - 2] + (ignored ? " with SIGPIPE ignored" : ""));
      int pipeEnds[2];
      ASSERT_EQ(pipe2(pipeEnds, O_CLOEXEC), 0);
      pid_t child = start(arguments, {.output = pipeEnds[1], .ignorePipeSignal = ignored});
      close(pipeEnds[1]);
      char first = 0;
      EXPECT_EQ(read(pipeEnds[0], &first, 1), 1);
      close(pipeEnds[0]);
      int status = 0;
      ASSERT_EQ(waitpid(child, &status, 0), child);
      if (ignored) {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
      } else {
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGPIPE) << status;
      }
      EXPECT_EQ(orbis::testing::readWholeFile(folder.path() / "stderr"), "");
      EXPECT_EQ(temporaryFilesLeft(), 0);
    }
  }
}

// A full disk, or a file that reached the size limit (whose signal would
// otherwise end the program in the middle of a write).
TEST_F(CliTest, FailedOutputSaysWhy) {
  int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
  if (full < 0) GTEST_SKIP() << "no /dev/full";
  constexpr rlim_t Limit = 4096;
  std::string atLimit = writeFile("at-limit.txt", std::string(Limit, 'x'));
  int limited = open(atLimit.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  ASSERT_GE(limited, 0);
  struct Sink {
    ChildSetup setup;
    const char* reason;
  };
  const Sink sinks[] = {{{.output = full}, "No space left on device"},
                        {{.output = limited, .fileSizeLimit = Limit}, "File too large"}};
  std::string page = writeFile("page.htm", "<p>text</p>");
  for (const Sink& sink : sinks) {
    for (std::vector<std::string> arguments : {std::vector<std::string>{"--dump", page},
                                               {"--runs", page},
                                               {"--tree", page},
                                               {"--help"},
                                               {"--dump", "--color", page},
                                               {"--headless", "--trace", "-", page}}) {
      Outcome outcome = run(arguments, sink.setup);
      EXPECT_EQ(outcome.status, 1) << arguments[0];
      EXPECT_EQ(outcome.err,
                std::string("orbisline: cannot write to standard output: ") + sink.reason + "\n")
          << arguments[0];
    }
  }
  close(full);
  close(limited);
  EXPECT_EQ(temporaryFilesLeft(), 0);
}

// A page's escape sequences, BEL and C1 bytes never leave --dump as they
// are, wherever the output goes, unless --raw asks for the bytes.
TEST_F(CliTest, DumpWritesNoControlByteButLineFeed) {
  locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  if (utf8 == static_cast<locale_t>(0)) GTEST_SKIP() << "no C.UTF-8 locale";
  freelocale(utf8);
  std::string page = writeFile("page.htm",
                               "<pre>a\x1B]0;t\x07\x1B[2Jb\x9B"
                               "c\xE9</pre>");
  const std::string padding(1, '\n');
  struct Case {
    const char* locale;
    bool raw;
    std::string expected;
  };
  const Case cases[] = {
      {"C", false, "a?]0;t??[2Jb?c\xE9\n" + padding},
      {"C.UTF-8", false,
       "a\xE2\x90\x9B]0;t\xE2\x90\x87\xE2\x90\x9B[2Jb\xE2\x80\xBA"
       "c\xC3\xA9\n" +
           padding},
      {"C", true,
       "a\x1B]0;t\x07\x1B[2Jb\x9B"
       "c\xE9\n" +
           padding},
      {"C.UTF-8", true,
       "a\x1B]0;t\x07\x1B[2Jb\x9B"
       "c\xE9\n" +
           padding},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments{"--dump", "--width", "40", "--height", "5", page};
    if (c.raw) arguments.insert(arguments.begin() + 1, "--raw");
    Outcome outcome = run(arguments, {.environment = {{"LC_ALL", c.locale}}});
    EXPECT_EQ(outcome.status, 0) << c.locale << " " << c.raw << ": " << outcome.err;
    EXPECT_EQ(outcome.out, c.expected) << c.locale << " " << c.raw;
  }
}

// A terminal gets UTF-8 in any locale, and never the raw bytes.
TEST_F(CliTest, DumpToATerminalIsAlwaysMadeSafe) {
  int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0) GTEST_SKIP() << "no pseudo-terminal";
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  int terminal = open(ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(terminal, 0);
  termios mode{};
  ASSERT_EQ(tcgetattr(terminal, &mode), 0);
  cfmakeraw(&mode);  // line feeds arrive as they were written
  ASSERT_EQ(tcsetattr(terminal, TCSANOW, &mode), 0);
  fcntl(master, F_SETFL, O_NONBLOCK);

  std::string page = writeFile("page.htm", "<pre>a\x1B[2J\x9B</pre>");
  Outcome outcome = run({"--dump", "--width", "40", "--height", "5", page}, {.output = terminal});
  std::string shown(4096, '\0');
  ssize_t got = read(master, shown.data(), shown.size());
  shown.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(shown, "a\xE2\x90\x9B[2J\xE2\x80\xBA\n\n");

  outcome = run({"--dump", "--raw", page}, {.output = terminal});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_NE(outcome.err.find("--raw does not write to a terminal"), std::string::npos)
      << outcome.err;
  EXPECT_EQ(read(master, shown.data(), shown.size()), -1);
  close(terminal);
  close(master);
  EXPECT_EQ(temporaryFilesLeft(), 0);
}

}  // namespace
}  // namespace orbis
