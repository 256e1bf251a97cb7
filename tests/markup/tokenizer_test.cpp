#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "markup/lower_string.h"
#include "markup/markup_parser.h"
#include "markup/markup_recorder.h"
#include "platform/thread.h"

namespace orbis {
namespace {

using namespace std::string_literals;
using testsupport::ChunkedSource;
using testsupport::merged;
using testsupport::RecordingParser;
using testsupport::tokenize;
using testsupport::tokenizeChunked;
using Tokens = std::vector<std::string>;

struct TokenCase {
  std::string input;
  Tokens tokens;
};

void expectTokens(const std::vector<TokenCase>& cases) {
  for (const TokenCase& c : cases) {
    EXPECT_EQ(tokenize(c.input), c.tokens) << "input: " << c.input;
  }
}

TEST(TokenizerTest, TagsAndText) {
  expectTokens({
      {"", {"null"}},
      {"a<b>c</b>", {"T:a", "E:b", "T:c", "E:/b", "null"}},
      {"<br/>", {"null", "E:br/", "null"}},
      {"</p >", {"null", "E:/p", "null"}},
      {"</p>", {"null", "E:/p", "null"}},
      {"</p x=1>", {"null", "E:/p x=1", "null"}},
      {"</>", {"null", "E:/", "null"}},
      {"x < y", {"T:x < y"}},
      {"a<1", {"T:a<1"}},
      {"< b><>", {"T:< b><>"}},
      {"<?xml version=1?>", {"T:<?xml version=1?>"}},
      {"a>b", {"T:a>b"}},
      {"<\xC4x>", {"T:<\xC4x>"}},
      {"<P ALIGN=Center>", {"null", "E:P ALIGN=Center", "null"}},
      {"<b x=1", {"null", "E:b"}},
      {"<b", {"null", "E:b"}},
      {"abc<", {"T:abc"}},
      {"<a b='x>t", {"null", "E:a"}},
  });
}

TEST(TokenizerTest, CommentsAndDeclarations) {
  expectTokens({
      {"<!-- a -- b -->x", {"null", "T:x"}},
      {"<!-- a --  >x", {"null", "T:x"}},
      {"<!-- a -- \r\n-- >x", {"null", "T:x"}},
      {"<!---->x", {"null", "T:x"}},
      {"<!-- a ->b -->c", {"null", "T:c"}},
      {"<!-- a --x-- >y", {"null", "T:y"}},
      {"<!DOCTYPE html>x", {"null", "T:x"}},
      {"<!x>y", {"null", "T:y"}},
      {"<!->x", {"null", "T:x"}},
      {"<!-- open", {"null", "null"}},
      {"<!-->x", {"null", "null"}},  // from text the opener's dashes are used up
      {"<!DOCTYPE", {"null", "null"}},
      {"a<!-- c -->b", {"T:a", "T:b"}},
      {"a<!-- c --->b", {"T:a", "T:b"}},
  });
}

TEST(TokenizerTest, CommentsInsideTags) {
  expectTokens({
      {"<p <!-- c --> a=1>", {"null", "E:p a=1", "null"}},
      {"<p <!-->x=2>", {"null", "E:p x=2", "null"}},
      // A comment after an ended name lets that name continue behind it.
      {"<p a <!-- c -->b=1>", {"null", "E:p ab=1", "null"}},
      {"<p a <!-- c --> b=1>", {"null", "E:p b=1", "null"}},
      {"<p a <!-- c -->=1>", {"null", "E:p a=1", "null"}},
      // Without white space before it, "<!--" is part of the name.
      {"<p a<!--=1>", {"null", "E:p a<!--=1", "null"}},
      // The comment returns into the tag, and the next comment from text
      // returns to text.
      {"<p <!-- c -->>t <!-- c --> u", {"null", "E:p", "T:t ", "T: u"}},
  });
}

TEST(TokenizerTest, AttributeForms) {
  expectTokens({
      {"<p class='x y' id=\"z\" width=10 nowrap>", {"null", "E:p class=x y id=z width=10", "null"}},
      {"<td nowrap ><p align=center>", {"null", "E:td", "null", "E:p align=center", "null"}},
      {"<a b c>", {"null", "E:a", "null"}},
      {"<a b=1=2>", {"null", "E:a b=1=2", "null"}},
      {"<a b = 'q' >", {"null", "E:a b=q", "null"}},
      {"<a b=>", {"null", "E:a", "null"}},
      {"<a b='' c=\"\">", {"null", "E:a", "null"}},
      {"<a =x>", {"null", "E:a", "null"}},
      {"<a 'x'=1>", {"null", "E:a 'x'=1", "null"}},
      {"<a b=it's>", {"null", "E:a b=it's", "null"}},
      {"<a title='a>b'>t", {"null", "E:a title=a>b", "T:t"}},
      {"<a t=\"x\r\ny\">", {"null", "E:a t=x\r\ny", "null"}},
      {"<a t='&amp;  x'>", {"null", "E:a t=&amp;  x", "null"}},
      {"<a\tb=1\r\nc=2>", {"null", "E:a b=1 c=2", "null"}},
      {"<a b=1 b=2>", {"null", "E:a b=1 b=2", "null"}},
  });
}

TEST(TokenizerTest, ControlAndZeroBytes) {
  expectTokens({
      {"<b>\x0Cx\x0Cy", {"null", "E:b", "T:x\x0Cy"}},
      {"\x01\x02<b>", {"null", "E:b", "null"}},
      // Inside a name the scan keeps it; where a step begins it is dropped.
      {"<a\x01 b=\x02x>", {"null", "E:a\x01 b=x", "null"}},
      // Names and values end at a zero byte when they are stored.
      {"<p a\0b=1 c=x\0y>"s, {"null", "E:p a=1 c=x", "null"}},
      {"<p a=\"\0x\">"s, {"null", "E:p", "null"}},
      {"x\0y"s, {"T:x\0y"s}},
  });
}

TEST(TokenizerTest, LongTextIsHandedOverAtChunkBoundaries) {
  Tokens tokens = tokenize(std::string(10000, 'x'));
  ASSERT_EQ(tokens.size(), 3u);
  EXPECT_EQ(tokens[0].size() - 2, 4096u);
  EXPECT_EQ(tokens[1].size() - 2, 4096u);
  EXPECT_EQ(tokens[2].size() - 2, 1808u);

  // Not longer than 512 bytes when the chunk ends: no split.
  tokens = tokenize(std::string(4096 - 500, 'a') + "<b>" + std::string(497 + 300, 'c'));
  ASSERT_EQ(tokens.size(), 3u);
  EXPECT_EQ(tokens[2], "T:" + std::string(797, 'c'));
}

TEST(TokenizerTest, FinalLessThanIsCarriedIntoTheNextChunk) {
  std::string pad(4095, 'x');
  EXPECT_EQ(tokenize(pad + "<b>"), (Tokens{"T:" + pad, "E:b", "null"}));
  EXPECT_EQ(tokenize(pad + "<"), (Tokens{"T:" + pad}));
  EXPECT_EQ(tokenize(pad + "<<b>"), (Tokens{"T:" + pad, "T:<", "E:b", "null"}));
  EXPECT_EQ(tokenize(pad + "x<"), (Tokens{"T:" + pad + "x"}));
}

TEST(TokenizerTest, CommentClosedAcrossChunks) {
  // The closing "--" ends exactly at the last byte of the first chunk.
  std::string comment = "<!--" + std::string(4096 - 6, 'c') + "--";
  ASSERT_EQ(comment.size(), 4096u);
  EXPECT_EQ(tokenize(comment + ">x"), (Tokens{"null", "T:x"}));
  EXPECT_EQ(tokenize(comment + "  -->x"), (Tokens{"null", "T:x"}));
}

// Constructs that must mean the same wherever a chunk boundary cuts them.
const std::vector<std::string>& boundaryConstructs() {
  static const std::vector<std::string> constructs = {
      "<!-- c -->t",
      "<!---->t",
      "<!-- a -- b --- >t",
      "<p <!-- c --> a=1>",
      "<p <!---->b=2>",
      "<a nowrap   href=x.htm>",
      "<a href=abc   name=q>",
      "<a nowrap\r\n\r\n href=x.htm>",
      "<a href = 'q r' id=\"s\">",
      "<!DOCTYPE html>t",
      "x<b>y</b>",
      "<td nowrap ><p align=center>",
      "<p <!-- c -->>t <!-- c --> u",
      "a < b <1 <b>",
      "<a t='x\ny'>",
  };
  return constructs;
}

// A width sweep: the construct starts at every offset around the end of the
// first chunk, and the tokens (texts joined) stay those of the construct.
TEST(TokenizerTest, ChunkBoundaryNeverChangesTheMarkup) {
  for (const std::string& construct : boundaryConstructs()) {
    Tokens alone = tokenize(construct + "END");
    int32_t first = ChunkSize - static_cast<int32_t>(construct.size()) - 2;
    for (int32_t offset = first; offset <= ChunkSize + 2; ++offset) {
      std::string pad(static_cast<std::size_t>(offset), 'z');
      Tokens expected{"T:" + pad};
      expected.insert(expected.end(), alone.begin(), alone.end());
      EXPECT_EQ(merged(tokenize(pad + construct + "END")), merged(expected))
          << "construct " << construct << " at offset " << offset;
    }
  }
}

// Sources that deliver tiny chunks exercise every boundary at once.
TEST(TokenizerTest, SmallChunksGiveTheSameTokens) {
  for (const std::string& construct : boundaryConstructs()) {
    std::string input = "head " + construct + " tail";
    Tokens whole = merged(tokenize(input));
    for (int32_t size = 1; size <= 9; ++size) {
      EXPECT_EQ(merged(tokenizeChunked(input, {size})), whole)
          << "construct " << construct << " in chunks of " << size;
    }
    EXPECT_EQ(merged(tokenizeChunked(input, {3, 1, 1, 7, 2, 1})), whole) << construct;
  }
}

// Raw text in the manner of xmp: only "</xmp" starts a tag. The test needs
// bytes of the next chunk when "<" falls just before a boundary.
class RawTextParser : public RecordingParser {
public:
  void onToken(Token* token) override {
    if (token != nullptr && token->isElement()) {
      if (equalsIgnoringCase(token->text, "xmp")) {
        raw = true;
      } else if (equalsIgnoringCase(token->text, "/xmp")) {
        raw = false;
      }
    }
    RecordingParser::onToken(token);
  }
  bool isTagStart(const char* p, int32_t remaining) override {
    if (raw) {
      return remaining > 4 && p[0] == '<' && startsWithIgnoringCase({p + 1, 4}, "/xmp");
    }
    return MarkupParser::isTagStart(p, remaining);
  }
  bool raw = false;
};

TEST(TokenizerTest, RawTextEndIsSeenAcrossChunks) {
  const std::string raw = "a<b><!--</XMP>c";
  for (int32_t offset = ChunkSize - 16; offset <= ChunkSize; ++offset) {
    std::string pad(static_cast<std::size_t>(offset - 5), 'z');
    std::string input = "<xmp>" + pad + raw;
    RawTextParser parser;
    MemorySource source(input.data(), static_cast<int64_t>(input.size()));
    Tree root;
    parser.parse(&source, &root);
    EXPECT_EQ(merged(parser.tokens), (Tokens{"E:xmp", "T:" + pad + "a<b><!--", "E:/XMP", "T:c"}))
        << "offset " << offset;
  }
}

TEST(TokenizerTest, LargeInputsStayWhole) {
  std::string value(5'000'000, 'v');
  Tokens tokens = tokenize("<a href='" + value + "'>");
  ASSERT_EQ(tokens.size(), 3u);
  EXPECT_EQ(tokens[1], "E:a href=" + value);

  tokens = tokenize("<" + std::string(3'000'000, 'n') + " x=1>");
  ASSERT_EQ(tokens.size(), 3u);
  EXPECT_EQ(tokens[1].size(), 2u + 3'000'000u + 4u);

  EXPECT_EQ(tokenize("<!--" + std::string(5'000'000, 'c') + "-->t"), (Tokens{"null", "T:t"}));
  // A long run of dashes must not be rescanned after each pair.
  EXPECT_EQ(tokenize("<!--" + std::string(2'000'000, '-') + "x-->t"), (Tokens{"null", "T:t"}));

  std::string word(10'000'000, 'w');
  tokens = tokenize(word);
  std::size_t total = 0;
  for (const std::string& token : tokens) {
    total += token.size() - 2;
  }
  EXPECT_EQ(total, word.size());
}

// Random bytes make some token stream and a whole tree: every text token
// lands in the tree, in order. Other chunk boundaries change no token once
// the control bytes are gone: those are dropped where a step begins, and a
// chunk boundary begins one.
TEST(TokenizerTest, RandomBytesParse) {
  std::mt19937 random(7);
  std::string bytes(4'000'000, '\0');
  for (char& c : bytes) {
    c = static_cast<char>(random());
  }
  RecordingParser parser;
  parser.keepTree = true;
  MemorySource source(bytes.data(), static_cast<int64_t>(bytes.size()));
  Tree root;
  parser.parse(&source, &root);

  std::string tokenText;
  for (const std::string& token : parser.tokens) {
    if (token.rfind("T:", 0) == 0) tokenText.append(token, 2);
  }
  std::string treeText = testsupport::allText(TreeReader(root));
  // Compared without printing megabytes when they differ.
  EXPECT_GT(tokenText.size(), bytes.size() / 2);
  EXPECT_TRUE(treeText == tokenText) << treeText.size() << " bytes in the tree";

  for (char& c : bytes) {
    if (static_cast<unsigned char>(c) < 0x20 && !isWhiteSpace(c)) c = 'c';
  }
  Tokens whole = merged(tokenize(bytes));
  Tokens chunked = merged(tokenizeChunked(bytes, {4093, 1, 7}));
  auto [wholeAt, chunkedAt] =
      std::mismatch(whole.begin(), whole.end(), chunked.begin(), chunked.end());
  EXPECT_TRUE(wholeAt == whole.end() && chunkedAt == chunked.end())
      << "the tokens differ from token " << (wholeAt - whole.begin()) << " of " << whole.size();
}

// Counts what parse asks of its source.
class CountingSource : public MemorySource {
public:
  using MemorySource::MemorySource;
  void rewind() override {
    ++rewinds;
    MemorySource::rewind();
  }
  bool read(char* buffer, int32_t& length) override {
    ++reads;
    return MemorySource::read(buffer, length);
  }
  int rewinds = 0;
  int reads = 0;
};

TEST(TokenizerTest, NullTargetReadsNothing) {
  CountingSource source("<a>", 3);
  RecordingParser parser;
  parser.parse(&source, nullptr);
  EXPECT_EQ(source.rewinds, 0);
  EXPECT_EQ(source.reads, 0);
  EXPECT_TRUE(parser.tokens.empty());
}

TEST(TokenizerTest, EachParseStartsClean) {
  RecordingParser parser;
  Tree root;
  std::string first = "<a b='x";
  MemorySource unfinished(first.data(), static_cast<int64_t>(first.size()));
  parser.parse(&unfinished, &root);
  parser.tokens.clear();
  CountingSource text("t>", 2);
  parser.parse(&text, &root);
  EXPECT_EQ(text.rewinds, 1);
  EXPECT_EQ(parser.tokens, (Tokens{"T:t>"}));
}

// Stops the parse once it has seen stopAfter tokens.
class StoppingParser : public RecordingParser {
public:
  void onToken(Token* token) override {
    RecordingParser::onToken(token);
    if (tokens.size() == stopAfter) {
      control.stop();
    }
  }
  std::size_t stopAfter = 0;
  platform::ParseControl control;
};

TEST(TokenizerTest, StopEndsTheParseBetweenTokens) {
  std::string input = "<p>one<b>two</b>three";
  for (std::size_t stopAfter = 1; stopAfter <= 5; ++stopAfter) {
    StoppingParser parser;
    parser.keepTree = true;
    parser.stopAfter = stopAfter;
    parser.setControl(&parser.control);
    MemorySource source(input.data(), static_cast<int64_t>(input.size()));
    Tree root;
    parser.parse(&source, &root);
    Tokens all{"null", "E:p", "T:one", "E:b", "T:two", "E:/b", "T:three"};
    EXPECT_EQ(parser.tokens, Tokens(all.begin(), all.begin() + static_cast<long>(stopAfter)));
  }

  StoppingParser parser;
  parser.keepTree = true;
  parser.stopAfter = 6;
  parser.setControl(&parser.control);
  MemorySource source(input.data(), static_cast<int64_t>(input.size()));
  Tree root;
  parser.parse(&source, &root);
  EXPECT_EQ(testsupport::describeTree(root), "p,\"one\",b(\"two\")");
}

}  // namespace
}  // namespace orbis
