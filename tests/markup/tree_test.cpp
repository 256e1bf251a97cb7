#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <vector>

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
  Node root;
  MemorySource empty(nullptr, 0);
  parser.parse(&empty, &root);
  EXPECT_FALSE(root.hasChildren());
  // A subclass may hand over empty tokens; they never enter the tree.
  struct Feeding : MarkupParser {
    void onToken(std::unique_ptr<Node> token) override {
      MarkupParser::onToken(std::make_unique<TextNode>(""));
      MarkupParser::onToken(std::make_unique<ElementNode>(""));
      MarkupParser::onToken(std::move(token));
    }
  } feeding;
  std::string input = "<a>";
  MemorySource source(input.data(), 3);
  feeding.parse(&source, &root);
  EXPECT_EQ(describeTree(root), "a");
}

TEST(TreeTest, AttributesKeepOrderAndDuplicates) {
  ElementNode element("a");
  element.addAttribute("href", "one");
  element.addAttribute("HREF", "two");
  element.addAttribute("", "ignored");
  element.addAttribute("alt", "");
  element.addAttribute(nullptr, "x");
  element.addAttribute("x", nullptr);
  element.addAttribute("id", "z");
  std::vector<std::string> seen;
  for (const Attribute* a = element.firstAttribute(); a != nullptr; a = a->next()) {
    seen.push_back(std::string(a->name()) + "=" + std::string(a->value()));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"href=one", "HREF=two", "id=z"}));
}

TEST(TreeTest, GetAttributeFindsTheFirstCaseBlindMatch) {
  ElementNode element("a");
  element.addAttribute("href", "one");
  element.addAttribute("HREF", "two");
  element.addAttribute("nam\0e"s.c_str(), "v\0w"s.c_str());
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
  ElementNode bare("p");
  std::string out;
  EXPECT_FALSE(bare.getAttribute("href", out));
}

TEST(TreeTest, ParsedAttributesReadBack) {
  MarkupParser parser;
  Node root;
  std::string input = "<a href=1 HREF=2 alt='' nowrap title=\"t\0u\">"s;
  MemorySource source(input.data(), static_cast<int64_t>(input.size()));
  parser.parse(&source, &root);
  const ElementNode* a = asElement(root.firstChild());
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
    Node root;
    MemorySource source(c.input.data(), static_cast<int64_t>(c.input.size()));
    parser.parse(&source, &root);
    const ElementNode* a = asElement(root.firstChild());
    ASSERT_NE(a, nullptr) << c.input;
    std::string kept;
    for (const Attribute* attribute = a->firstAttribute(); attribute != nullptr;
         attribute = attribute->next()) {
      kept += (kept.empty() ? "" : " ") + std::string(attribute->name()) + "=" +
              std::string(attribute->value());
    }
    EXPECT_EQ(kept, c.kept) << c.input;
  }
}

TEST(TreeTest, MovingFollowingNodes) {
  Node root;
  auto* a = new ElementNode("a");
  root.appendChild(std::unique_ptr<Node>(a));
  root.moveFollowingInto(a);  // nothing follows: nothing moves
  EXPECT_FALSE(a->hasChildren());
  a->appendChild(std::make_unique<TextNode>("inner"));
  root.appendChild(std::make_unique<TextNode>("x"));
  root.appendChild(std::make_unique<ElementNode>("b"));
  root.moveFollowingInto(a);
  EXPECT_EQ(describeTree(root), "a(\"inner\",\"x\",b)");
  EXPECT_EQ(root.lastChild(), a);
  root.appendChild(std::make_unique<TextNode>("y"));
  EXPECT_EQ(describeTree(root), "a(\"inner\",\"x\",b),\"y\"");
}

// Large documents hold millions of nodes: a node is its vtable and three
// links, an element adds its name and one attribute pointer, a text its
// string, an attribute is one block with its bytes.
TEST(TreeTest, NodesStayCompact) {
  EXPECT_EQ(sizeof(Node), 4 * sizeof(void*));
  EXPECT_EQ(sizeof(ElementNode), sizeof(Node) + sizeof(LowerString) + sizeof(void*));
  EXPECT_EQ(sizeof(TextNode), sizeof(Node) + sizeof(std::string));
  EXPECT_LE(sizeof(Attribute), sizeof(void*) + 8);
}

// A million nested elements: building, walking and destroying the tree
// must not use the machine stack per level.
TEST(TreeTest, DeepTreesAreDestroyedWithoutRecursion) {
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
  auto root = std::make_unique<Node>();
  MarkupParser parser;
  MemorySource source(input.data(), static_cast<int64_t>(input.size()));
  parser.parse(&source, root.get());
  int levels = 0;
  const Node* node = root->firstChild();
  for (; node != nullptr && node->kind() == NodeKind::Element; node = node->firstChild()) {
    ++levels;
    ASSERT_EQ(node->nextSibling(), nullptr);
  }
  EXPECT_EQ(levels, depth);
  ASSERT_NE(asText(node), nullptr);
  root.reset();

  Node chain;
  Node* tip = &chain;
  for (int i = 0; i < depth; ++i) {
    auto child = std::make_unique<ElementNode>("e");
    Node* next = child.get();
    tip->appendChild(std::move(child));
    tip->appendChild(std::make_unique<TextNode>("t"));
    tip = next;
  }
}

// The straightforward tree builder: walk the whole top level for the last
// childless element of the end tag's name.
void buildByWalking(Node& target, std::unique_ptr<Node> token) {
  if (token == nullptr) {
    return;
  }
  if (ElementNode* element = asElement(token.get())) {
    if (!element->name.empty() && element->name.str()[0] == '/') {
      std::string_view wanted = element->name.view().substr(1);
      ElementNode* found = nullptr;
      for (Node* child : target.children()) {
        ElementNode* candidate = asElement(child);
        if (candidate != nullptr && !candidate->hasChildren() &&
            equalsIgnoringCase(candidate->name.view(), wanted)) {
          found = candidate;
        }
      }
      target.moveFollowingInto(found);
      return;
    }
    if (element->name.empty()) {
      return;
    }
  } else if (const TextNode* text = asText(token.get()); text == nullptr || text->text.empty()) {
    return;
  }
  target.appendChild(std::move(token));
}

class WalkingParser : public MarkupParser {
public:
  void onToken(std::unique_ptr<Node> token) override { buildByWalking(tree, std::move(token)); }
  Node tree;
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
    Node root;
    for (int parse = 0; parse < 2; ++parse) {
      std::string input = randomMarkup(random, 1 + static_cast<int>(random() % 60));
      MemorySource a(input.data(), static_cast<int64_t>(input.size()));
      MemorySource b(input.data(), static_cast<int64_t>(input.size()));
      indexed.parse(&a, &root);
      walking.parse(&b, &walking.tree);
      ASSERT_EQ(describeTree(root), describeTree(walking.tree)) << "round " << round;
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
  Node root;
  MemorySource a(input.data(), static_cast<int64_t>(input.size()));
  MemorySource b(input.data(), static_cast<int64_t>(input.size()));
  indexed.parse(&a, &root);
  walking.parse(&b, &walking.tree);
  EXPECT_EQ(describeTree(root), describeTree(walking.tree));
}

double secondsToParse(const std::string& input) {
  auto start = std::chrono::steady_clock::now();
  MarkupParser parser;
  MemorySource source(input.data(), static_cast<int64_t>(input.size()));
  Node root;
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
