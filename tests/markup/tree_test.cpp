#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "markup/lower_string.h"
#include "markup/markup_parser.h"
#include "markup/markup_recorder.h"

namespace orbis {
namespace {

using namespace std::string_literals;
using testsupport::describeTree;
using testsupport::parseToTree;

struct TreeCase {
  std::string input;
  std::string tree;
};

TEST(TreeTest, EndTagsClaimTheNearestChildlessElement) {
  const std::vector<TreeCase> cases = {
      {"<html><body><p>Hello <b>world</b></p></body></html>",
       "html(body(p(\"Hello \",b(\"world\"))))"},
      {"<ul><li>a<li>b</ul>", "ul(li,\"a\",li,\"b\")"},
      {"<b><i>x</b>y</i>", "b(i,\"x\"),\"y\""},
      {"</p>", ""},
      {"x</p>y", "\"x\",\"y\""},
      {"<a name=top></a>t</a>", "a(\"t\")"},
      {"<p></p>", "p"},
      {"<P>x</p>", "P(\"x\")"},
      {"<p>a<p>b</p>", "p,\"a\",p(\"b\")"},
      {"<div><p>x</div></p>", "div(p,\"x\")"},
      {"<a>x</a></a>", "a(\"x\")"},
      {"<a></a><a>x</a>", "a,a(\"x\")"},
      {"<a>x<a>y</a></a>", "a(\"x\",a(\"y\"))"},
      {"<br/>x</br/>", "br/(\"x\")"},
      {"<p>x</>", "p,\"x\""},
      {"<!-- c --><!DOCTYPE x>", ""},
      {"<b>x</B >", "b(\"x\")"},
      {"<a>x</ab>", "a,\"x\""},
      // Dropped end tags are reused for later tags: nothing of them may show.
      {"<a>x</a y=1 z=2><b>", "a(\"x\"),b"},
      {"<a>x</"s + std::string(100, 'a') + " k=v><i>y</i>", "a,\"x\",i(\"y\")"},
  };
  for (const TreeCase& c : cases) {
    EXPECT_EQ(parseToTree(c.input), c.tree) << "input: " << c.input;
  }
}

TEST(TreeTest, EmptyTokensAreDropped) {
  MarkupParser parser;
  Tree root;
  MemorySource empty(nullptr, 0);
  parser.parse(&empty, &root);
  EXPECT_TRUE(root.empty());
  // A subclass may hand over empty tokens; they never enter the tree.
  struct Feeding : MarkupParser {
    void onToken(Token* token) override {
      Token text(Token::Kind::Text);
      Token element(Token::Kind::Element);
      MarkupParser::onToken(&text);
      MarkupParser::onToken(&element);
      MarkupParser::onToken(token);
    }
  } feeding;
  std::string input = "<a>";
  MemorySource source(input.data(), 3);
  feeding.parse(&source, &root);
  EXPECT_EQ(describeTree(root), "a");
}

// One element appended with the attributes a token gathered.
const ElementNode& elementWith(Tree& tree, const Token& token) {
  return *tree.appendElement("a", Unclassified, token.attributes);
}

TEST(TreeTest, AttributesKeepOrderAndDuplicates) {
  Token token(Token::Kind::Element);
  token.addAttribute("href", "one");
  token.addAttribute("HREF", "two");
  token.addAttribute("", "ignored");
  token.addAttribute("alt", "");
  token.addAttribute("\0x"s, "x");
  token.addAttribute("id", "z");
  Tree tree;
  std::vector<std::string> seen;
  for (Attribute a : elementWith(tree, token).attributes()) {
    seen.push_back(std::string(a.name) + "=" + std::string(a.value));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"href=one", "HREF=two", "id=z"}));
}

TEST(TreeTest, GetAttributeFindsTheFirstCaseBlindMatch) {
  Token token(Token::Kind::Element);
  token.addAttribute("href", "one");
  token.addAttribute("HREF", "two");
  token.addAttribute("nam\0e"s, "v\0w"s);
  Tree tree;
  const ElementNode& element = elementWith(tree, token);
  struct Lookup {
    const char* name;
    bool found;
    std::string value;
  };
  const std::vector<Lookup> lookups = {
      {"href", true, "one"},       {"HrEf", true, "one"},
      {"hre", false, "untouched"}, {"hrefs", false, "untouched"},
      {"", false, "untouched"},    {nullptr, false, "untouched"},
      {"nam", true, "v"},          {"name", false, "untouched"},
  };
  for (const Lookup& l : lookups) {
    std::string out = "untouched";
    EXPECT_EQ(element.getAttribute(l.name, out), l.found) << (l.name ? l.name : "(null)");
    EXPECT_EQ(out, l.value) << (l.name ? l.name : "(null)");
  }
  const ElementNode& bare = *tree.appendElement("p", Unclassified, {});
  std::string out;
  EXPECT_FALSE(bare.getAttribute("href", out));
}

TEST(TreeTest, ParsedAttributesReadBack) {
  MarkupParser parser;
  Tree root;
  std::string input = "<a href=1 HREF=2 alt='' nowrap title=\"t\0u\">"s;
  MemorySource source(input.data(), static_cast<int64_t>(input.size()));
  parser.parse(&source, &root);
  const ElementNode* a = asElement(*root.children().begin());
  ASSERT_NE(a, nullptr);
  std::string value;
  EXPECT_TRUE(a->getAttribute("href", value));
  EXPECT_EQ(value, "1");
  EXPECT_FALSE(a->getAttribute("alt", value));
  EXPECT_FALSE(a->getAttribute("nowrap", value));
  EXPECT_TRUE(a->getAttribute("title", value));
  EXPECT_EQ(value, "t");
}

// A filter keeps the tree to the attributes a reader wants; what it keeps
// stays in order, duplicates and all, and it sees each name as written.
TEST(TreeTest, AttributeFilterKeepsOnlyWhatItAccepts) {
  struct Case {
    std::string input;
    std::string kept;  // name=value pairs of the first element
  };
  const Case cases[] = {
      {"<a href=1 class=c HREF=2 id=x>", "href=1 HREF=2"},
      {"<a class=c style='s'>", ""},
      {"<a title=\"t\" href='h' hrefs=no>", "href=h"},
      {"<a href>", ""},
  };
  for (const Case& c : cases) {
    MarkupParser parser;
    parser.setAttributeFilter(
        [](std::string_view name) { return name == "href" || name == "HREF"; });
    Tree root;
    MemorySource source(c.input.data(), static_cast<int64_t>(c.input.size()));
    parser.parse(&source, &root);
    const ElementNode* a = asElement(*root.children().begin());
    ASSERT_NE(a, nullptr) << c.input;
    std::string kept;
    for (Attribute attribute : a->attributes()) {
      kept += (kept.empty() ? "" : " ") + std::string(attribute.name) + "=" +
              std::string(attribute.value);
    }
    EXPECT_EQ(kept, c.kept) << c.input;
  }
}

// Ending an element makes what was appended after it its children; the
// tree's children and each element's skip over the subtrees between.
TEST(TreeTest, EndingAnElementTakesWhatFollows) {
  Tree tree;
  ElementNode* a = tree.appendElement("a", Unclassified, {});
  EXPECT_TRUE(tree.endsWith(a));
  EXPECT_FALSE(a->hasChildren());
  tree.appendText("inner");
  ElementNode* b = tree.appendElement("b", Unclassified, {});
  tree.appendText("in b");
  tree.close(b);
  tree.appendText("x");
  EXPECT_FALSE(tree.endsWith(a));
  tree.close(a);
  tree.appendText("y");
  EXPECT_EQ(describeTree(tree), "a(\"inner\",b(\"in b\"),\"x\"),\"y\"");
  EXPECT_EQ(testsupport::nodesOf(tree.children()).size(), 2u);
  EXPECT_EQ(testsupport::nodesOf(a->children()).size(), 3u);
  EXPECT_EQ(testsupport::allText(TreeReader(*b)), "in b");
}

// Large documents hold millions of nodes: a node's record is a few bytes
// beside its name, attributes or text.
TEST(TreeTest, NodesStayCompact) {
  EXPECT_EQ(sizeof(Node), 4u);
  EXPECT_EQ(sizeof(ElementNode), 12u);
  EXPECT_EQ(sizeof(TextNode), 8u);
  Tree tree;
  EXPECT_EQ(tree.appendElement("b", Unclassified, {})->recordSize(), 16u);
  EXPECT_EQ(tree.appendText("t ")->recordSize(), 12u);
}

// Records of every size, over many chunks, some larger than a chunk: each
// reads back as written, and a reader that gives the chunks back as it goes
// reads the same.
TEST(TreeTest, RecordsCrossChunks) {
  std::mt19937 random(99);
  Tree tree;
  std::string expected;
  for (int i = 0; i < 200'000; ++i) {
    std::size_t size = random() % 7 == 0 ? random() % 3000 : random() % 20 + 1;
    if (i % 50'000 == 7) size = 3'000'000;  // a record of its own chunk
    std::string text(size, static_cast<char>('a' + i % 26));
    if (text.empty()) continue;
    tree.appendText(text);
    expected += text;
  }
  EXPECT_TRUE(testsupport::allText(TreeReader(tree)) == expected);
  EXPECT_TRUE(testsupport::allText(TreeReader(tree, true)) == expected);
  tree.clear();
  EXPECT_TRUE(tree.empty());
}

// A million nested elements: building, walking and destroying the tree
// must not use the machine stack per level.
TEST(TreeTest, DeepTreesAreBuiltAndReadWithoutRecursion) {
  constexpr int depth = 1'000'000;
  std::string input;
  input.reserve(depth * 11 + 1);
  for (int i = 0; i < depth; ++i) {
    input += "<div>";
  }
  input += "x";
  for (int i = 0; i < depth; ++i) {
    input += "</div>";
  }
  auto root = std::make_unique<Tree>();
  MarkupParser parser;
  MemorySource source(input.data(), static_cast<int64_t>(input.size()));
  parser.parse(&source, root.get());
  // Each div holds the next and nothing else, the last one the text.
  int opened = 0;
  int closed = 0;
  TreeReader reader(*root);
  const Node* node = nullptr;
  while ((node = reader.next()) != nullptr && node->hasChildren()) ++opened;
  ASSERT_NE(asText(node), nullptr);
  while ((node = reader.next()) != nullptr && node->kind() == NodeKind::Close) ++closed;
  EXPECT_EQ(node, nullptr);
  EXPECT_EQ(opened, depth);
  EXPECT_EQ(closed, depth);
  root.reset();
}

// The straightforward tree builder on a tree of its own: walk the whole top
// level for the last childless element of the end tag's name.
struct WalkedNode {
  std::string name;  // empty for a text
  std::string text;
  std::vector<std::unique_ptr<WalkedNode>> children;
};

void buildByWalking(WalkedNode& target, const Token* token) {
  if (token == nullptr || token->text.empty()) {
    return;
  }
  if (token->isEndTag()) {
    std::string_view wanted = std::string_view(token->text).substr(1);
    std::size_t found = target.children.size();
    for (std::size_t i = 0; i < target.children.size(); ++i) {
      const WalkedNode& candidate = *target.children[i];
      if (!candidate.name.empty() && candidate.children.empty() &&
          equalsIgnoringCase(candidate.name, wanted)) {
        found = i;
      }
    }
    if (found == target.children.size()) return;
    WalkedNode& claimed = *target.children[found];
    for (std::size_t i = found + 1; i < target.children.size(); ++i) {
      claimed.children.push_back(std::move(target.children[i]));
    }
    target.children.resize(found + 1);
    return;
  }
  auto node = std::make_unique<WalkedNode>();
  (token->isElement() ? node->name : node->text) = token->text;
  target.children.push_back(std::move(node));
}

// As describeTree pictures a tree (the random trees here are shallow).
std::string describeWalked(const WalkedNode& parent) {
  std::string out;
  for (const auto& child : parent.children) {
    if (!out.empty()) out += ',';
    out += child->name.empty() ? '"' + child->text + '"' : child->name;
    if (!child->children.empty()) out += '(' + describeWalked(*child) + ')';
  }
  return out;
}

class WalkingParser : public MarkupParser {
public:
  void onToken(Token* token) override { buildByWalking(tree, token); }
  WalkedNode tree;
  Tree unused;  // parse wants a target
};

std::string randomMarkup(std::mt19937& random, int tokens) {
  static const char* const pieces[] = {"<a>",  "</a>",    "<A>",     "</A >", "<b>",
                                       "</b>", "<li>",    "</li>",   "x",     "y",
                                       "</c>", "<c x=1>", "<!-- -->"};
  std::string out;
  for (int i = 0; i < tokens; ++i) {
    out += pieces[random() % std::size(pieces)];
  }
  return out;
}

// The index of childless top-level elements must build exactly the tree
// of the backward walk, including over a target that already has children.
TEST(TreeTest, IndexedEndTagSearchMatchesTheWalk) {
  std::mt19937 random(12345);
  for (int round = 0; round < 3000; ++round) {
    MarkupParser indexed;
    WalkingParser walking;
    Tree root;
    for (int parse = 0; parse < 2; ++parse) {
      std::string input = randomMarkup(random, 1 + static_cast<int>(random() % 60));
      MemorySource a(input.data(), static_cast<int64_t>(input.size()));
      MemorySource b(input.data(), static_cast<int64_t>(input.size()));
      indexed.parse(&a, &root);
      walking.parse(&b, &walking.unused);
      ASSERT_EQ(describeTree(root), describeWalked(walking.tree)) << "round " << round;
    }
  }
}

// Many distinct names, in mixed case and with bytes beyond ASCII, so that the
// index holds names that collide and must grow.
TEST(TreeTest, IndexedSearchKeepsManyNamesApart) {
  std::mt19937 random(777);
  std::string input;
  for (int i = 0; i < 20'000; ++i) {
    std::string name = "n" + std::to_string(random() % 3000);
    if (random() % 4 == 0) name[0] = 'N';
    if (random() % 8 == 0) name += "\xC4";
    input += (random() % 3 == 0 ? "</" : "<") + name + ">";
    if (random() % 2 == 0) input += "t";
  }
  MarkupParser indexed;
  WalkingParser walking;
  Tree root;
  MemorySource a(input.data(), static_cast<int64_t>(input.size()));
  MemorySource b(input.data(), static_cast<int64_t>(input.size()));
  indexed.parse(&a, &root);
  walking.parse(&b, &walking.unused);
  EXPECT_EQ(describeTree(root), describeWalked(walking.tree));
}

double secondsToParse(const std::string& input) {
  auto start = std::chrono::steady_clock::now();
  MarkupParser parser;
  MemorySource source(input.data(), static_cast<int64_t>(input.size()));
  Tree root;
  parser.parse(&source, &root);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string repeated(const std::string& piece, int count) {
  std::string out;
  out.reserve(piece.size() * static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    out += piece;
  }
  return out;
}

// Unclosed and unmatched markup costs about what ordinary markup of the same
// size does; a backward walk per end tag would take minutes here. The bound
// is loose so that a busy machine does not fail the test.
TEST(TreeTest, UnclosedMarkupStaysLinear) {
  constexpr int n = 200'000;
  const double ordinary = secondsToParse(repeated("<p>x</p>", n));
  const std::vector<std::string> inputs = {
      repeated("<a>", n) + repeated("</b>", n),
      repeated("<a>", n) + repeated("</a>", n),
      repeated("<li>x", n) + "</ul>",
      repeated("<a>x", n) + repeated("</a>", n),
      repeated("<a><b>x", n) + repeated("</a>", n) + repeated("</b>", n),
  };
  for (const std::string& input : inputs) {
    EXPECT_LT(secondsToParse(input), std::max(5.0, 20 * ordinary)) << input.substr(0, 20);
  }
}

}  // namespace
}  // namespace orbis
