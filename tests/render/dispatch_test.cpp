#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "render/layout_fixture.h"

namespace orbis {
namespace {

using testing::LayoutTest;
using testing::root;
using testing::tag;
using testing::txt;

struct TreeCase {
  const char* what;
  std::unique_ptr<Tree> tree;
  std::vector<std::string> lines;  // alignment letter (an empty line shows L), "|", text
};

class DispatchTest : public LayoutTest {
protected:
  void expectLayouts(const TreeCase* cases, size_t count, int32_t width = 80) {
    for (size_t i = 0; i < count; ++i) {
      reset(width);
      EXPECT_EQ(layOut(cases[i].tree), cases[i].lines) << cases[i].what;
    }
  }
};

TEST_F(DispatchTest, EachHandlerShapesItsBlock) {
  const TreeCase cases[] = {
      {"hidden content",
       root(txt("a"), tag("script", {}, txt("x")), tag("style", {}, txt("y")),
            tag("select", {}, txt("loose"), tag("option", {}, txt("o"))),
            tag("comment", {}, txt("c")), txt(" b")),
       {"L|a b"}},
      {"inline and unknown tags",
       root(txt("a "), tag("b", {}, txt("b")), tag("input", {}), tag("span", {}, txt(" c"))),
       {"L|a b c"}},
      {"blockquote",
       root(txt("x"), tag("blockquote", {}, txt("q")), txt("y")),
       {"L|x", "L|  q", "L|y"}},
      {"list",
       root(tag("ul", {}, tag("li", {}, txt("one")), tag("li", {}, txt("two")))),
       {"L|  * one", "L|  * two", "L|"}},
      {"nested lists",
       root(tag("ul", {}, tag("li", {}, txt("outer"), tag("ol", {}, tag("li", {}, txt("inner")))))),
       {"L|  * outer", "L|      * inner", "L|"}},
      {"definitions",
       root(tag("dl", {}, tag("dt", {}, txt("term")), tag("dd", {}, txt("def")))),
       {"L|term", "L|  def"}},
      {"center", root(txt("a"), tag("center", {}, txt("c")), txt("b")), {"L|a", "C|c", "L|b"}},
      {"heading",
       root(txt("a"), tag("h1", {}, txt("h")), txt("b")),
       {"L|a", "L|", "L|h", "L|", "L|b"}},
      {"p at the top", root(tag("p", {}, txt("x"))), {"L|x", "L|", "L|"}},
      {"pre",
       root(txt("a"), tag("pre", {}, txt(" x\n y")), txt("b")),
       {"L|a", "L| x", "L| y", "L|b"}},
      {"br", root(txt("a"), tag("br", {}), txt("b")), {"L|a", "L|b"}},
      {"br at the top", root(tag("br", {}), txt("b")), {"L|", "L|b"}},
      {"div",
       root(txt("a"), tag("div", {{"align", "right"}}, txt("d")), txt("b")),
       {"L|a", "R|d", "L|b"}},
      {"table cells",
       root(tag("center", {},
                tag("table", {},
                    tag("tr", {}, tag("th", {}, txt("h")), tag("td", {}, txt("1")),
                        tag("td", {}, txt("2")))),
                txt("c"))),
       {"L|h", "L|1", "L|2", "C|c", "L|"}},
  };
  expectLayouts(cases, std::size(cases));
}

TEST_F(DispatchTest, ChildlessElementsLeaveTheirEffectInPlace) {
  const TreeCase cases[] = {
      {"p align=right",
       root(txt("a"), tag("p", {{"align", "right"}}), txt("b")),
       {"L|a", "L|", "R|b"}},
      {"pre", root(tag("pre", {}), txt("x\ny")), {"L|x", "L|y"}},
      {"center", root(tag("center", {}), txt("c")), {"C|c"}},
      // No extra indent for the continuation line of a childless li.
      {"li",
       root(tag("ul", {}, tag("li", {}), txt("aaaa bbbb cccc"))),
       {"L|  * aaaa", "L|  bbbb cccc", "L|"}},
  };
  expectLayouts(cases, std::size(cases), 10);
  EXPECT_FALSE(layout->preformatted);
  layout->layOutChildren(*root(tag("pre", {})));
  EXPECT_TRUE(layout->preformatted);
}

TEST_F(DispatchTest, ChildlessOptionHidesTheNextNodeWhereverItIs) {
  const TreeCase cases[] = {
      {"across levels",
       root(tag("b", {}, txt("x "), tag("option", {})), txt("hidden"), txt("shown")),
       {"L|x shown"}},
      {"an element",
       root(tag("option", {}), tag("p", {}, txt("hidden")), txt("shown")),
       {"L|shown"}},
      {"option with children", root(tag("option", {}, txt("o")), txt("after")), {"L|after"}},
  };
  expectLayouts(cases, std::size(cases));
}

TEST_F(DispatchTest, AlignmentNestsAsBlocksDo) {
  const TreeCase cases[] = {
      {"p inside center",
       root(tag("center", {}, tag("p", {}, txt("left")), txt("after"))),
       {"L|left", "L|", "C|after", "L|"}},
      {"headings inside center",
       root(tag("center", {}, tag("h2", {}, txt("one")),
                tag("h2", {{"align", "center"}}, txt("two")))),
       {"C|one", "L|", "C|two", "L|", "L|"}},
      {"upper case and near misses",
       root(txt("x"), tag("PRE2", {}, txt("  y")), tag("BR", {}),
            tag("P", {{"ALIGN", "RIGHT"}}, txt("z"))),
       {"L|x  y", "L|", "R|z", "L|", "L|"}},
  };
  expectLayouts(cases, std::size(cases));
}

// Nesting past the line width indents no further, so output stays in
// proportion to the page.
TEST_F(DispatchTest, IndentStopsAtTheLineWidth) {
  Tree tree;
  std::vector<ElementNode*> quotes;
  for (int level = 1; level <= 200; ++level) {
    quotes.push_back(tree.appendElement("blockquote", Unclassified, {}));
    tree.appendText("x");
  }
  for (auto quote = quotes.rbegin(); quote != quotes.rend(); ++quote) {
    if (!tree.endsWith(*quote)) tree.close(*quote);
  }
  reset(20);
  layout->layOutChildren(tree);
  auto lines = finishedLines();
  ASSERT_EQ(lines.size(), 201u);
  EXPECT_EQ(lines[0], "  x");
  EXPECT_EQ(lines[9], std::string(20, ' ') + "x");
  EXPECT_EQ(lines[199], std::string(20, ' ') + "x");
}

// Random trees of known and unknown tags, closed and unclosed, with texts
// of blanks, tabs and line ends: the model stays well formed.
TEST_F(DispatchTest, RandomTreesGiveAWellFormedModel) {
  const char* names[] = {"p",      "br",     "li",    "ul",         "dd",   "dt",   "div",   "td",
                         "table",  "center", "h3",    "a",          "font", "body", "img",   "hr",
                         "option", "select", "title", "blockquote", "pre",  "b",    "input", "xyz"};
  const std::pair<const char*, const char*> attributes[] = {
      {"align", "right"}, {"align", "center"}, {"align", "justify"}, {"href", "h.htm"},
      {"name", "n"},      {"color", "red"},    {"size", "5"},        {"width", "30%"},
      {"alt", "[x&amp;"}, {"text", "#123456"}};
  const char* texts[] = {"word ",      " two words", "\tt\tab",
                         "line\nfeed", "cr\r",       "longerthanthewidthofanyline",
                         "  ",         "x"};
  // Built in document order: an element whose children are being added
  // stays open until it is ended.
  auto randomTree = [&](unsigned seed) {
    std::mt19937 rng(seed);
    auto tree = std::make_unique<Tree>();
    std::vector<ElementNode*> open;
    auto end = [&] {
      if (!tree->endsWith(open.back())) tree->close(open.back());
      open.pop_back();
    };
    for (int step = 0; step < 40; ++step) {
      unsigned action = rng() % 4;
      if (action == 0 && !open.empty()) {
        end();
      } else if (action == 1) {
        tree->appendText(texts[rng() % std::size(texts)]);
      } else {
        Token token(Token::Kind::Element);
        for (unsigned k = rng() % 3; k > 0; --k) {
          const auto& [attribute, value] = attributes[rng() % std::size(attributes)];
          token.addAttribute(attribute, value);
        }
        ElementNode* added =
            tree->appendElement(names[rng() % std::size(names)], Unclassified, token.attributes);
        if (action == 2) open.push_back(added);
      }
    }
    while (!open.empty()) end();
    return tree;
  };
  for (unsigned trial = 0; trial < 3000; ++trial) {
    auto tree = randomTree(trial);
    const int32_t width = 2 + static_cast<int32_t>(trial % 30);
    reset(width);
    layout->layOutChildren(*tree);
    layout->finish();

    // Releasing the tree while laying it out gives the very same model.
    Document released;
    Layout releasing(released, *settings, width);
    std::unique_ptr<Tree> releasedTree = randomTree(trial);
    releasing.layOutTree(*releasedTree);
    releasing.finish();
    ASSERT_TRUE(releasedTree->empty());
    ASSERT_EQ(testing::lineTexts(released), testing::lineTexts(*doc));
    ASSERT_EQ(released.title, doc->title);
    ASSERT_EQ(released.anchors, doc->anchors);
    ASSERT_EQ(released.normalColors, doc->normalColors);

    auto runs = testing::allRuns(*doc);
    for (std::size_t i = 0; i < runs.size(); ++i) {
      const testing::ShownRun& run = runs[i];
      ASSERT_FALSE(run.text.empty());
      ASSERT_EQ(run.text.find_first_of("\t\r\n"), std::string::npos);
      // Pieces are linked both ways, each on a later line than the one
      // before, and a chain's first piece is the one its pieces name.
      int next = testing::neighbourPiece(runs, i, true);
      int previous = testing::neighbourPiece(runs, i, false);
      ASSERT_TRUE(next == -1 ||
                  (next >= 0 && runs[next].run->hasPreviousPiece() && runs[next].line > run.line))
          << run.text;
      ASSERT_TRUE(previous == -1 || (previous >= 0 && runs[previous].run->hasNextPiece()))
          << run.text;
      ASSERT_EQ(run.run->hasPreviousPiece(), run.run->firstPiece != run.index) << run.text;
    }
    ASSERT_EQ(layout->indent, 0);
    ASSERT_FALSE(layout->inLink);
    ASSERT_EQ(layout->currentLine,
              doc->lines.empty() ? 0 : static_cast<int32_t>(doc->lines.size()) - 1);
  }
}

// A million levels of nesting, with every kind of handler that keeps state
// over its children, must neither overflow the stack nor leave state behind.
TEST_F(DispatchTest, MillionLevelTreeLaysOutAndRestoresState) {
  const char* names[] = {"b",  "div",   "ul",         "font", "center", "a",
                         "li", "table", "blockquote", "pre",  "p",      "td"};
  Tree tree;
  Token attributes(Token::Kind::Element);
  attributes.addAttribute("href", "x.htm");
  attributes.addAttribute("color", "red");
  const int depth = 1000000;
  std::vector<ElementNode*> levels;
  for (int level = 0; level < depth; ++level) {
    levels.push_back(
        tree.appendElement(names[level % std::size(names)], Unclassified, attributes.attributes));
  }
  tree.appendText("deep");
  for (auto level = levels.rbegin(); level != levels.rend(); ++level) tree.close(*level);
  tree.appendText("after");

  layout->layOutChildren(tree);
  layout->finish();
  ASSERT_FALSE(doc->lines.empty());
  EXPECT_EQ(doc->lines.back().textOf(doc->lines.back().runs.back()), "after");
  EXPECT_EQ(doc->lines.back().runs.size(), 1u);
  EXPECT_EQ(layout->indent, 0);
  EXPECT_EQ(layout->alignment, Alignment::Left);
  EXPECT_FALSE(layout->inLink);
  EXPECT_FALSE(layout->preformatted);
  EXPECT_EQ(doc->normalColors.foreground, settings->text);

  // The same through layOutElement on the outermost element.
  reset(80);
  layout->layOutElement(testing::firstElement(tree));
  layout->finish();
  EXPECT_EQ(testing::allRuns(*doc).back().text, "deep");
  EXPECT_EQ(layout->indent, 0);
}

}  // namespace
}  // namespace orbis
