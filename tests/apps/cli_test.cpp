// The executable's command line and its in-process modes.
#include <signal.h>

#include <algorithm>
#include <string>
#include <vector>

#include "orbisline_runner.h"

namespace orbis {
namespace {

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
                           "--edit", "--color", "ORBISLINE_PLUGIN"}) {
    EXPECT_NE(outcome.out.find(word), std::string::npos) << word;
  }
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
  struct Case {
    std::vector<std::string> arguments;
    const char* message;
  };
  const Case cases[] = {
      {{}, "one of --tree, --dump, --runs and --headless"},
      {{"page.htm"}, "one of --tree, --dump, --runs and --headless"},
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

TEST_F(CliTest, TreePrintsOneNodePerLine) {
  struct Case {
    std::string input;
    std::string expected;
  };
  const Case cases[] = {
      {"", ""},
      {"hello", "| \"hello\"\n"},
      {"<p align=center>one<br>two</p>",
       "| <p>\n|   align=\"center\"\n|   \"one\"\n|   <br>\n|   \"two\"\n"},
      {"<DIV Class=a class=b><I>x</I></DIV>tail",
       "| <DIV>\n|   Class=\"a\"\n|   class=\"b\"\n|   <I>\n|     \"x\"\n| \"tail\"\n"},
      {"</p>text", "| \"text\"\n"},
      // Every escape class, in pre (which keeps white space) and in a value.
      {"<pre>a\tb\rc\r\nd\x7f\x80\xff&#1;\\\"</pre><x v=\"q\tr\x1bs\">",
       "| <pre>\n|   \"a\\tb\\rc\\nd\\x7F\\x80\\xFF\\x01\\\\\\\"\"\n| <x>\n|   v=\"q\\tr\\x1Bs\"\n"},
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
  const std::string treeText = "\"\\xCF\\xF0\\xE8\\xE2\\xE5\\xF2, \\xEC\\xE8\\xF0! \\xA8\\xE6 \\xA9";
  for (const std::string& page : pages) {
    std::string path = writeFile("page.html", page);
    Outcome dump = run({"--dump", "--width", "40", "--height", "2", path});
    EXPECT_EQ(dump.status, 0) << dump.err;
    const std::string shown = cp1251 + (page.back() == ';' ? " (c) \x97\n" : "\n");
    EXPECT_EQ(dump.out.substr(0, shown.size()), shown) << page;
    Outcome tree = run({"--tree", path});
    EXPECT_NE(tree.out.find(treeText), std::string::npos) << tree.out;
  }
  std::string none = writeFile("none.obs", "<Orbisline><Default charset=none></Orbisline>");
  Outcome asWritten = run({"--dump", "--settings", none, writeFile("page.html", pages[3])});
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

TEST_F(CliTest, EmptyFileHasAnEmptyTree) {
  Outcome outcome = run({"--tree", writeFile("empty.htm", "")});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_TRUE(outcome.out.empty());
  EXPECT_TRUE(outcome.err.empty());
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
  EXPECT_EQ(outcome.out, "Hello world\n\n" + std::string(77, ' ') + "end\n" + std::string(19, '\n'));
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

}  // namespace
}  // namespace orbis
