#include <gtest/gtest.h>

#include <string>

#include "host/link_target.h"

namespace orbis::host {
namespace {

TEST(LinkTargetTest, ResolveJoinsRelativeTargetsToTheDocumentsDirectory) {
  struct Case {
    const char* target;
    const char* source;
    std::string loaded;
  };
  const Case cases[] = {
      // Paths as this system writes them.
      {"b.htm", "/home/u/docs/a.htm", "/home/u/docs/b.htm"},
      {"sub/c.htm", "/home/u/docs/a.htm", "/home/u/docs/sub/c.htm"},
      {"../up.htm", "/home/u/docs/a.htm", "/home/u/docs/../up.htm"},
      {"c.htm#part", "/home/u/docs/a.htm", "/home/u/docs/c.htm"},
      {"p.htm?x=1", "/home/u/docs/a.htm", "/home/u/docs/p.htm"},
      {"p.htm;type=a", "/home/u/docs/a.htm", "/home/u/docs/p.htm"},
      {"my+page%2Ehtm", "/home/u/docs/a.htm", "/home/u/docs/my page.htm"},
      {"/abs/x.htm", "/home/u/docs/a.htm", "/home/u/docs//abs/x.htm"},
      {"b.htm", "a.htm", "b.htm"},  // a bare name: the current directory
      {"b.htm", "/a.htm", "/b.htm"},
      // The directory's own bytes stay; only the target is decoded.
      {"b%2Bc.htm", "/home/u/c++/a%20b/a.htm", "/home/u/c++/a%20b/b+c.htm"},
      // A "#", ";" or "?" in the directory splits it like a URL's parts.
      {"b.htm", "/docs#1/a.htm", "/docsb.htm#1/"},
      {"b.htm", "/docs?q/a.htm", "/docsb.htm?q/"},
      {"100%4G.htm", "/d/a.htm", "/d/100%4G.htm"},
      // Paths with backslashes and drive letters.
      {"b.htm", "C:\\docs\\a.htm", "C:\\docs\\b.htm"},
      {"sub/c.htm", "C:\\docs\\a.htm", "C:\\docs\\sub/c.htm"},
      {"../up.htm", "C:\\docs\\a.htm", "C:\\docs\\../up.htm"},
      {"c.htm#part", "C:\\docs\\a.htm", "C:\\docs\\c.htm"},
      {"my+page%2Ehtm", "C:\\docs\\a.htm", "C:\\docs\\my page.htm"},
      {"b.htm", "C:\\docs/sub\\a.htm", "C:\\docs/sub\\b.htm"},
      // Targets with a scheme or a network location are rebuilt whole.
      {"D:\\other\\x.htm", "C:\\docs\\a.htm", "D:\\other\\x.htm"},
      {"http://host/path/x.htm", "/d/a.htm", "http://host/path/x.htm"},
      {"HTTP://host/x.htm?q=a+b", "/d/a.htm", "HTTP://host/x.htm?q=a b"},
      {"news:group", "/d/a.htm", "news://group"},
      {"mailto:someone", "/d/a.htm", "mailto:someone"},
      {"//server/share/x.htm", "/d/a.htm", "server/share/x.htm"},
      {"file:/d/b%20c.htm", "/d/a.htm", "file:///d/b c.htm"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(resolveTarget(c.target, c.source), c.loaded) << c.target << " from " << c.source;
  }
}

TEST(LinkTargetTest, ParseTakesThePartsOffInOrder) {
  struct Case {
    const char* text;
    UrlParts parts;  // scheme, netLoc, path, params, query, fragment
    bool rebuildsUnchanged;
  };
  const Case cases[] = {
      {"http://host/p;par?q=1#frag", {"http", "host", "/p", ";par", "?q=1", "#frag"}, true},
      {"C:\\docs\\a.htm", {"C", "", "\\docs\\a.htm", "", "", ""}, true},
      {"a;b?c", {"", "", "a", ";b", "?c", ""}, true},
      {"a?b;c", {"", "", "a", "", "?b;c", ""}, true},
      {"#top", {"", "", "", "", "", "#top"}, true},
      {"x#a#b", {"", "", "x", "", "", "#a#b"}, true},
      {":x", {"", "", "x", "", "", ""}, false},
      {"//server", {"", "server", "", "", "", ""}, false},
      {"ftp://h", {"ftp", "h", "", "", "", ""}, true},
      {"file:///x", {"file", "", "/x", "", "", ""}, true},  // an empty network location
      {"mailto://h/x", {"mailto", "h", "/x", "", "", ""}, false},
      {"a+b.c-d:x", {"a+b.c-d", "", "x", "", "", ""}, true},
      {"\xE9t\xE9:x", {"", "", "\xE9t\xE9:x", "", "", ""}, true},  // high bytes end the scheme
      {"/", {"", "", "/", "", "", ""}, true},
      {"", {}, true},
  };
  for (const Case& c : cases) {
    UrlParts parts = parseUrl(c.text);
    EXPECT_EQ(parts, c.parts) << c.text;
    EXPECT_EQ(buildUrl(parts) == c.text, c.rebuildsUnchanged)
        << c.text << " -> " << buildUrl(parts);
  }
}

TEST(LinkTargetTest, DecodeTurnsPlusAndPercentEscapesIntoBytes) {
  struct Case {
    const char* text;
    std::string decoded;
  };
  const Case cases[] = {
      {"a+b", "a b"},  {"%41%62", "Ab"}, {"%20", " "},       {"%4G", "%4G"},
      {"%%41", "%A"},  {"%zz", "%zz"},   {"%4", "\x04"},     {"100%", std::string("100\0", 4)},
      {"%ff", "\xFF"}, {"%+41", "% 41"}, {"plain", "plain"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(decodeUrl(c.text), c.decoded) << c.text;
  }
}

}  // namespace
}  // namespace orbis::host
