#include "markup/document_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "markup/fake_resolver.h"
#include "markup/markup_recorder.h"

namespace orbis {
namespace {

using testsupport::ChunkedSource;
using testsupport::describeTree;
using testsupport::FakeResolver;

std::string parseDocument(const std::string& input, std::vector<int32_t> chunkSizes = {ChunkSize}) {
  FakeResolver resolver;
  DocumentParser parser(&resolver);
  ChunkedSource source(input, std::move(chunkSizes));
  Tree root;
  parser.parse(&source, &root);
  return describeTree(root);
}

// Every text of the tree, in document order, joined; and how many texts.
std::string joinedText(const Tree& tree, int* count = nullptr) {
  std::string out;
  TreeReader reader(tree);
  while (const Node* node = reader.next()) {
    if (const TextNode* text = asText(node)) {
      out.append(text->text());
      if (count) ++*count;
    }
  }
  return out;
}

struct FoldCase {
  const char* input;
  bool afterSpaceBefore;
  const char* expected;
  bool afterSpaceAfter;
};

class FoldTest : public ::testing::TestWithParam<FoldCase> {};

TEST_P(FoldTest, FoldsRunsToOneSpace) {
  const FoldCase& c = GetParam();
  std::string text = c.input;
  bool afterSpace = c.afterSpaceBefore;
  foldWhiteSpace(text, afterSpace);
  EXPECT_EQ(text, c.expected) << '"' << c.input << '"';
  EXPECT_EQ(afterSpace, c.afterSpaceAfter) << '"' << c.input << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Runs, FoldTest,
    ::testing::Values(FoldCase{"a  \r\n b", false, "a b", false}, FoldCase{"  a", true, "a", false},
                      FoldCase{"  a", false, " a", false}, FoldCase{"a  ", false, "a ", true},
                      FoldCase{"a\tb\nc\rd", true, "a b c d", false},
                      FoldCase{"\t\n\r ", false, " ", true}, FoldCase{"x", true, "x", false},
                      FoldCase{"a\fb \v c", false, "a\fb \v c", false}));

// Text that is already folded comes out as it went in, up to where the first
// change is due.
INSTANTIATE_TEST_SUITE_P(
    AlreadyFolded, FoldTest,
    ::testing::Values(FoldCase{"a b c", true, "a b c", false}, FoldCase{"a b ", true, "a b ", true},
                      FoldCase{" a b", false, " a b", false}, FoldCase{" a b", true, "a b", false},
                      FoldCase{"a b  c", false, "a b c", false},
                      FoldCase{"a b\nc", false, "a b c", false},
                      FoldCase{"a b \n", false, "a b ", true}, FoldCase{" ", false, " ", true}));

// An emptied text says nothing about what came before it.
INSTANTIATE_TEST_SUITE_P(Emptied, FoldTest,
                         ::testing::Values(FoldCase{"   ", true, "", true},
                                           FoldCase{"", false, "", false},
                                           FoldCase{"", true, "", true}));

TEST(FoldWhiteSpace, LargeRunsFoldCorrectly) {
  const std::size_t size = 10 * 1024 * 1024;
  std::string spaces(size, ' ');
  bool afterSpace = true;
  foldWhiteSpace(spaces, afterSpace);
  EXPECT_EQ(spaces, "");

  std::string alternating;
  for (std::size_t i = 0; i < size / 2; ++i) alternating += "a\n";
  afterSpace = false;
  foldWhiteSpace(alternating, afterSpace);
  std::string expected;
  for (std::size_t i = 0; i < size / 2; ++i) expected += "a ";
  EXPECT_EQ(alternating, expected);
  EXPECT_TRUE(afterSpace);
}

struct TreeCase {
  const char* input;
  const char* tree;
};

class DocumentTreeTest : public ::testing::TestWithParam<TreeCase> {};

TEST_P(DocumentTreeTest, BuildsTree) {
  EXPECT_EQ(parseDocument(GetParam().input), GetParam().tree) << GetParam().input;
}

// The same trees when the source hands its bytes over in tiny reads.
TEST_P(DocumentTreeTest, TinyReadsGiveTheSameTree) {
  for (int32_t size : {1, 2, 3, 7}) {
    EXPECT_EQ(parseDocument(GetParam().input, {size}), GetParam().tree)
        << GetParam().input << " in reads of " << size;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Folding, DocumentTreeTest,
    ::testing::Values(TreeCase{"a  \r\n b", R"~("a b")~"},
                      TreeCase{"<p>  x  </p>  <p>  y</p>", R"~(p("x "),p("y"))~"},
                      TreeCase{"   hello", R"~("hello")~"}, TreeCase{"a <b> c", R"~("a ",b,"c")~"},
                      TreeCase{"a <!-- c --> b", R"~("a ","b")~"},
                      TreeCase{"a&nbsp; b", R"~("a  b")~"}, TreeCase{"&#10;x", "\"\nx\""}));

// pre keeps its text and neither reads nor changes what folding remembers.
INSTANTIATE_TEST_SUITE_P(Pre, DocumentTreeTest,
                         ::testing::Values(TreeCase{"<pre>  x\n  y</pre>", "pre(\"  x\n  y\")"},
                                           TreeCase{"x <pre> a</pre> y", R"~("x ",pre(" a"),"y")~"},
                                           TreeCase{"x<pre>a </pre> y", R"~("x",pre("a ")," y")~"},
                                           TreeCase{"<PRE><b>a</b></Pre>", R"~(PRE(b("a")))~"},
                                           TreeCase{"<pre><pre>a</pre> b</pre>  c",
                                                    R"~(pre(pre("a"),"b")," c")~"}));

INSTANTIATE_TEST_SUITE_P(
    RawText, DocumentTreeTest,
    ::testing::Values(
        TreeCase{"<xmp><b>&lt;</b></xmp>", R"~(pre("<b><</b>"))~"},
        TreeCase{"<xmp>  a  b  </xmp>c", R"~(pre("  a  b  "),"c")~"},
        TreeCase{"x <xmp> a</xmp> y", R"~("x ",pre(" a"),"y")~"},
        TreeCase{"<XMP>a</Xmp>b", R"~(pre("a"),"b")~"},
        TreeCase{"<xmp><pre>a</pre><!-- c --></xmp>", R"~(pre("<pre>a</pre><!-- c -->"))~"},
        TreeCase{"<xmp>a</xmpfoo>b</xmp>c", R"~(pre("a","b"),"c")~"},
        TreeCase{"<xmp>a</xmp", R"~(pre("a"))~"}, TreeCase{"<xmp>a", R"~(pre,"a")~"},
        TreeCase{"<script>if (a<b) x();</script>", R"~(script("if (a<b) x();"))~"},
        TreeCase{"<script>a</SCRIPT>b", R"~(script("a"),"b")~"},
        TreeCase{"<script>x<y && a<!--b--></script>", R"~(script("x<y && a<!--b-->"))~"},
        TreeCase{"<script>a</scriptx>b</script>", R"~(script("a","b"))~"},
        TreeCase{"<script>  a\n  b</script>", R"~(script("a b"))~"},
        TreeCase{"<script>&lt;</script>", R"~(script("<"))~"},
        TreeCase{"<script>a</xmp>b</script>", R"~(script("a</xmp>b"))~"},
        TreeCase{"<script>a", R"~(script,"a")~"}));

INSTANTIATE_TEST_SUITE_P(References, DocumentTreeTest,
                         ::testing::Values(TreeCase{"<p>&#65;&copy;</p>", R"~(p("A(c)"))~"},
                                           TreeCase{"&amp;lt;", R"~("&lt;")~"},
                                           TreeCase{"AT&T", R"~("AT&T")~"},
                                           TreeCase{"a &", R"~("a &")~"}));

// A text longer than a chunk reaches the parser in pieces; folding carries
// across them.
TEST(DocumentParser, FoldsAcrossSplitText) {
  std::string input = std::string(4090, 'a') + std::string(20, ' ') + std::string(100, 'b');
  FakeResolver resolver;
  DocumentParser parser(&resolver);
  MemorySource source(input.data(), static_cast<int64_t>(input.size()));
  Tree root;
  parser.parse(&source, &root);
  int texts = 0;
  EXPECT_EQ(joinedText(root, &texts), std::string(4090, 'a') + " " + std::string(100, 'b'));
  EXPECT_GE(texts, 2);
}

// The end tag of raw text is found wherever the chunk boundary cuts it.
TEST(DocumentParser, RawTextEndTagAcrossChunkBoundary) {
  for (const char* name : {"script", "xmp", "SCRIPT"}) {
    std::string open = std::string("<") + name + ">";
    std::string close = std::string("</") + name + ">";
    for (int32_t at = ChunkSize - 12; at <= ChunkSize + 2; ++at) {
      std::string filler(static_cast<std::size_t>(at) - open.size(), 'x');
      std::string input = open + filler + close + "after";
      FakeResolver resolver;
      DocumentParser parser(&resolver);
      MemorySource source(input.data(), static_cast<int64_t>(input.size()));
      Tree root;
      parser.parse(&source, &root);
      std::vector<const Node*> top = testsupport::nodesOf(root.children());
      ASSERT_EQ(top.size(), 2u) << name << " at " << at;
      const ElementNode* raw = asElement(top[0]);
      ASSERT_NE(raw, nullptr) << name << " at " << at;
      EXPECT_EQ(testsupport::allText(TreeReader(*raw)), filler) << name << " at " << at;
      const TextNode* last = asText(top[1]);
      ASSERT_NE(last, nullptr) << name << " at " << at;
      EXPECT_EQ(last->text(), "after") << name << " at " << at;
      EXPECT_FALSE(parser.inScript || parser.inXmp) << name << " at " << at;
    }
  }
}

// A million texts stand in a large tree: folding and decoding shorten a
// text, and its record holds what is left and hardly more.
TEST(DocumentParser, TextsKeepNoLargeSlack) {
  const std::vector<std::string> texts = {
      "<p>" + std::string(300, ' ') + "a" + std::string(300, '\n') + "b</p>",
      "<p>" +
          [] {
            std::string references;
            for (int i = 0; i < 100; ++i) references += "&amp;&#65;";
            return references;
          }() +
          "</p>",
      "<p>word   word\t\tword</p>",
      "<pre>  kept\n  as   written</pre>",
  };
  for (const std::string& input : texts) {
    FakeResolver resolver;
    DocumentParser parser(&resolver);
    MemorySource source(input.data(), static_cast<int64_t>(input.size()));
    Tree root;
    parser.parse(&source, &root);
    const ElementNode* element = asElement(testsupport::nodesOf(root.children()).at(0));
    ASSERT_NE(element, nullptr) << input;
    const TextNode* text = asText(testsupport::nodesOf(element->children()).at(0));
    ASSERT_NE(text, nullptr) << input;
    EXPECT_LE(text->recordSize(), text->text().size() + 12) << input;
  }
}

TEST(DocumentParser, EachParseStartsAfresh) {
  FakeResolver resolver;
  DocumentParser parser(&resolver);
  const std::string first = "x<xmp><pre>a";
  const std::string second = " <b>c</b>";
  MemorySource firstSource(first.data(), static_cast<int64_t>(first.size()));
  MemorySource secondSource(second.data(), static_cast<int64_t>(second.size()));
  Tree firstRoot;
  Tree secondRoot;
  parser.parse(&firstSource, &firstRoot);
  parser.parse(&secondSource, &secondRoot);
  EXPECT_EQ(describeTree(secondRoot), R"~(b("c"))~");
}

TEST(DocumentParser, WithoutResolverReferencesStay) {
  DocumentParser parser(nullptr);
  const std::string input = "&amp; &#65;";
  MemorySource source(input.data(), static_cast<int64_t>(input.size()));
  Tree root;
  parser.parse(&source, &root);
  EXPECT_EQ(describeTree(root), R"~("&amp; &#65;")~");
}

TEST(DocumentParser, AttributeValuesStayAsWritten) {
  FakeResolver resolver;
  DocumentParser parser(&resolver);
  const std::string input = "<a href=\"x&amp;y  z\">t</a>";
  MemorySource source(input.data(), static_cast<int64_t>(input.size()));
  Tree root;
  parser.parse(&source, &root);
  const ElementNode* a = asElement(testsupport::nodesOf(root.children()).at(0));
  ASSERT_NE(a, nullptr);
  std::string href;
  EXPECT_TRUE(a->getAttribute("href", href));
  EXPECT_EQ(href, "x&amp;y  z");
}

}  // namespace
}  // namespace orbis
