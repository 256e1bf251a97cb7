#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "markup/document_parser.h"
#include "render/elements.h"
#include "render/layout_fixture.h"

namespace orbis {
namespace {

using testing::allRuns;
using testing::LayoutTest;
using testing::root;
using testing::tag;
using testing::txt;

// Built-in settings: background 7, text 0, link 9, active link 12.
constexpr ColorPair Normal{7, 0};
constexpr ColorPair Link{7, 9};
constexpr ColorPair Active{7, 12};

struct RunShape {
  std::string text;
  int kind;
  ColorPair colors;
};

class ElementsTest : public LayoutTest {
protected:
  std::vector<RunShape> runsOf(const std::unique_ptr<Tree>& tree) {
    layout->layOutChildren(*tree);
    layout->finish();
    std::vector<RunShape> shapes;
    for (const testing::ShownRun& run : allRuns(*doc))
      shapes.push_back({run.text, static_cast<int>(run.run->kind), run.colors});
    return shapes;
  }
  static std::string show(const std::vector<RunShape>& runs) {
    std::string out;
    for (const RunShape& r : runs)
      out += "[" + r.text + " k" + std::to_string(r.kind) + " " +
             std::to_string(r.colors.background) + "/" + std::to_string(r.colors.foreground) + "]";
    return out;
  }
};

TEST_F(ElementsTest, LinkTextBecomesLinkRunsOnlyInsideTheElement) {
  auto runs = runsOf(root(txt("see "),
                          tag("a", {{"href", "b.htm#x"}}, txt("here"), tag("b", {}, txt(" too"))),
                          tag("a", {{"href", "c.htm"}}), txt(" plain")));
  EXPECT_EQ(
      show(runs),
      show({{"see ", 1, Normal}, {"here", 2, Link}, {" too", 2, Link}, {" plain", 1, Normal}}));
  auto all = allRuns(*doc);
  EXPECT_EQ(all[1].target, "b.htm#x");
  EXPECT_EQ(doc->activeColorsOf(*all[1].run), Active);
  // Two text nodes of one link are two chains with the same target.
  EXPECT_FALSE(all[1].run->hasNextPiece());
  EXPECT_FALSE(all[2].run->hasPreviousPiece());
  EXPECT_EQ(all[2].target, "b.htm#x");
  EXPECT_EQ(all[1].run->target, all[2].run->target);
  EXPECT_FALSE(layout->inLink);
  EXPECT_EQ(layout->currentTarget, 0u);
}

// A page repeating a huge href over many runs and links keeps the whole
// target, once.
TEST_F(ElementsTest, LongLinkTargetsAreKeptWholeAndOnce) {
  const std::string href(100000, 'p');
  runsOf(root(tag("a", {{"href", href.c_str()}}, txt("one "), tag("b", {}, txt("two"))),
              tag("a", {{"href", "other"}}, txt(" x")),
              tag("a", {{"href", href.c_str()}}, txt(" y"))));
  const std::vector<testing::ShownRun> runs = allRuns(*doc);
  ASSERT_EQ(runs.size(), 4u);
  EXPECT_EQ(runs[0].target, href);
  EXPECT_EQ(runs[1].run->target, runs[0].run->target);
  EXPECT_EQ(runs[3].run->target, runs[0].run->target);
  EXPECT_EQ(runs[2].target, "other");
  EXPECT_EQ(doc->targets.size(), 3u);  // with the empty one of plain text
}

TEST_F(ElementsTest, LaterAnchorOfTheSameNameMovesItAndKeepsTheFirstSpelling) {
  layout->layOutChildren(*root(tag("a", {{"name", "Top"}}), txt("a"), tag("br", {}),
                               tag("a", {{"name", "other"}}), tag("br", {}),
                               tag("a", {{"name", "TOP"}}, txt("b"))));
  ASSERT_EQ(doc->anchors.size(), 2u);
  auto top = doc->anchors.find(LowerString("top"));
  ASSERT_NE(top, doc->anchors.end());
  EXPECT_EQ(top->first.str(), "Top");
  EXPECT_EQ(top->second, 3);
  EXPECT_EQ(doc->anchors[LowerString("OTHER")], 2);
}

TEST_F(ElementsTest, BodySetsPageColoursForWhatFollows) {
  struct Case {
    testing::Attributes attributes;
    ColorPair normal, link, active;
  };
  const Case cases[] = {
      {{{"bgcolor", "#000000"}, {"text", "#101010"}}, {0, 8}, {0, 9}, {0, 12}},
      {{{"link", "blue"}, {"alink", "Blue"}}, Normal, Link, {9, 7}},
      {{{"bgcolor", "navy"}, {"link", "red"}, {"alink", "FF0000"}}, {1, 0}, {1, 12}, {12, 1}},
      {{{"text", "nonsense"}, {"bgcolor", "-1"}}, Normal, Link, Active},
  };
  for (const Case& c : cases) {
    reset(80);
    layout->layOutElement(testing::firstElement(*root(tag("body", c.attributes))));
    EXPECT_EQ(doc->normalColors, c.normal);
    EXPECT_EQ(doc->linkColors, c.link);
    EXPECT_EQ(doc->activeLinkColors, c.active);
  }
  reset(80);
  auto runs = runsOf(root(txt("a "), tag("body", {{"text", "red"}}, txt("b ")), txt("c")));
  EXPECT_EQ(show(runs), show({{"a ", 1, Normal}, {"b ", 1, {7, 12}}, {"c", 1, {7, 12}}}));
}

TEST_F(ElementsTest, FontColoursTextButNotLinks) {
  auto runs = runsOf(root(tag("font", {{"color", "red"}, {"size", "7"}}, txt("r "),
                              tag("a", {{"href", "x"}}, txt("l"))),
                          txt(" n"), tag("font", {{"color", "#00FF00"}}), txt(" g")));
  EXPECT_EQ(show(runs),
            show({{"r ", 1, {7, 12}}, {"l", 2, Link}, {" n", 1, Normal}, {" g", 1, {7, 10}}}));
}

TEST_F(ElementsTest, TitleJoinsItsOwnTextPieces) {
  layout->layOutChildren(
      *root(tag("title", {}, txt(" My "), tag("b", {}, txt("bold")), txt("page"), txt(" ")),
            txt(" body")));
  EXPECT_EQ(doc->title, "My page ");
  EXPECT_EQ(finishedLines(), std::vector<std::string>{"body"});

  // Without its end tag the title is empty and its text is page text.
  reset(80);
  layout->layOutChildren(*root(tag("title", {}), txt("T")));
  EXPECT_EQ(doc->title, "");
  EXPECT_EQ(finishedLines(), std::vector<std::string>{"T"});
}

// The title is joined with trimJoinSpace's title rule; compare with that
// rule applied literally, piece by piece, on random pieces.
TEST_F(ElementsTest, TitleFollowsTheJoinRuleOnRandomPieces) {
  const char* pieces[] = {" ", "\n\n", "a", " a ", "\tb", "c\r"};
  std::mt19937 rng(7);
  for (int trial = 0; trial < 300; ++trial) {
    Tree tree;
    ElementNode* title = tree.appendElement("title", Unclassified, {});
    std::string expected;
    Document referenceDoc;
    Layout reference(referenceDoc, *settings, 80);
    reference.endsInSpace = layout->endsInSpace = rng() % 2;
    reference.preformatted = layout->preformatted = rng() % 2;
    for (unsigned k = rng() % 6; k > 0; --k) {
      const char* piece = pieces[rng() % std::size(pieces)];
      tree.appendText(piece);
      expected += piece;
      std::string_view joined = expected;
      reference.trimJoinSpace(joined, true);
      expected = std::string(joined);
    }
    if (!tree.endsWith(title)) tree.close(title);
    collectTitle(*layout, *title);
    ASSERT_EQ(doc->title, expected);
    ASSERT_EQ(layout->endsInSpace, reference.endsInSpace);
  }
}

TEST_F(ElementsTest, ImagesShowTheirAltTextInBrackets) {
  const std::pair<const char*, const char*> cases[] = {
      {"Logo", "[Logo]"},     {"[Logo]", "[Logo]"}, {"[Logo", "[Logo]"},  {"[", "[]"},
      {nullptr, "[Picture]"}, {"", "[Picture]"},    {"a&amp;b", "[a&b]"}, {"]", "[]"},
  };
  for (const auto& [alt, shown] : cases) {
    reset(80);
    layout->endsInSpace = false;
    auto runs = runsOf(root(alt ? tag("img", {{"alt", alt}}) : tag("img", {})));
    EXPECT_EQ(show(runs), show({{shown, 1, Normal}})) << (alt ? alt : "no alt");
    EXPECT_FALSE(layout->endsInSpace);
  }
  auto runs = runsOf(root(tag("a", {{"href", "pic.htm"}}, tag("img", {{"alt", "P"}}))));
  EXPECT_EQ(runs.back().kind, 2);
  EXPECT_EQ(allRuns(*doc).back().target, "pic.htm");
}

TEST_F(ElementsTest, RulesSpanTheWidthOnALineOfTheirOwn) {
  struct Case {
    testing::Attributes attributes;
    std::string line;
    char alignment;  // as the padding shows it: a full line shows none
    int32_t foreground;
  };
  const Case cases[] = {
      {{}, std::string(80, '-'), 'L', 0},
      {{{"width", "50%"}}, std::string(40, '-'), 'C', 0},
      {{{"width", "200"}}, std::string(80, '-'), 'L', 0},
      {{{"width", "0%"}}, std::string(80, '-'), 'L', 0},
      {{{"width", "%"}}, std::string(80, '-'), 'L', 0},
      {{{"size", "4"}, {"width", "99%"}}, std::string(79, '='), 'L', 0},
      {{{"size", "4"}, {"width", "97%"}}, std::string(77, '='), 'C', 0},
      {{{"size", "3"}, {"align", "right"}, {"width", "10%"}}, std::string(8, '-'), 'R', 0},
      {{{"color", "red"}}, std::string(80, '-'), 'L', 12},
  };
  for (const Case& c : cases) {
    reset(80);
    std::vector<std::string> lines = layOut(root(txt("a"), tag("hr", c.attributes), txt("b")));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2], std::string(1, c.alignment) + "|" + c.line);
    const RenderedLine rule = doc->lines[2];
    EXPECT_EQ(doc->colorsOf(rule.runs.back()).foreground, c.foreground);
    EXPECT_EQ(lines[4], "L|b");
  }
}

// The viewer's parse keeps only the attributes layout reads: a page that
// uses each of them (in either case) among others must lay out exactly as
// from the whole tree.
TEST_F(ElementsTest, LayoutReadsNoAttributeTheViewerDrops) {
  const std::string page =
      "<title>T</title><BODY BGCOLOR=navy text=white LINK=yellow alink=olive class=x style=y>"
      "<p align=center class=c>Centred <font color=lime face=arial>green</font> "
      "<a href='#n' title=t>to n</a> <A NAME=n id=n>here</A> "
      "<img src=x.png alt='a picture' width=10><img src=y.png>"
      "<hr size=5 width=50% align=left noshade><div align=right data-x=1>right</div>"
      "<h1 ALIGN=center>Upper</h1><hr color=red WIDTH=30%>";
  struct Result {
    std::string runs;
    std::vector<std::string> lines;
    std::vector<std::string> anchors;
    std::string title;
    std::vector<int32_t> colors;  // normal, link and active link at the end
  };
  auto render = [&](MarkupParser::AttributeFilter filter) {
    auto tree = std::make_unique<Tree>();
    DocumentParser parser(settings.get());
    parser.setAttributeFilter(filter);
    MemorySource source(page.data(), static_cast<int64_t>(page.size()));
    parser.parse(&source, tree.get());
    reset(60);
    Result result{show(runsOf(tree)), testing::shownLines(*doc, 60), {}, doc->title, {}};
    for (const auto& [name, line] : doc->anchors)
      result.anchors.push_back(name.str() + "@" + std::to_string(line));
    for (ColorPair pair : {doc->normalColors, doc->linkColors, doc->activeLinkColors}) {
      result.colors.insert(result.colors.end(), {pair.background, pair.foreground});
    }
    return result;
  };
  Result whole = render(nullptr);
  Result kept = render(isLayoutAttribute);
  EXPECT_EQ(kept.runs, whole.runs);
  EXPECT_EQ(kept.lines, whole.lines);
  EXPECT_EQ(kept.anchors, whole.anchors);
  EXPECT_EQ(kept.title, whole.title);
  EXPECT_EQ(kept.colors, whole.colors);
  EXPECT_NE(whole.runs.find("[a picture]"), std::string::npos);  // the page did use them
  EXPECT_EQ(whole.anchors, std::vector<std::string>{"n@1"});
}

}  // namespace
}  // namespace orbis
