// The chunked tag tokenizer and, as its default token handler, the tree
// builder. Documents (through DocumentParser) and the settings file (through
// a plain MarkupParser) share this syntax.
//
// parse() pulls the source ChunkSize bytes at a time and cuts the bytes into
// tokens: elements (start tags, and end tags whose name begins with "/") and
// runs of text; comments and declarations make no token. Every completed
// token is handed to onToken. Nothing is ever an error: every byte sequence
// yields some token stream.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "markup/byte_source.h"
#include "markup/lower_string.h"
#include "markup/node.h"
#include "markup/open_elements.h"
#include "markup/token.h"
#include "markup/tree.h"
#include "pool/chunked_stack.h"

namespace orbis {

namespace platform {
class ParseControl;
}

constexpr int32_t ChunkSize = 4096;
constexpr std::size_t TextSplitLength = 512;

enum class TokenizerState {
  Text,
  Comment,
  CommentClose,
  TagOpen,
  Declaration,
  TagName,
  AttributeName,
  AttributeValue,
  TagClose,
};

class MarkupParser {
public:
  MarkupParser();
  virtual ~MarkupParser();
  MarkupParser(const MarkupParser&) = delete;
  MarkupParser& operator=(const MarkupParser&) = delete;

  // Receives a completed token, or null at a tag start with no text pending
  // and at the end of the input. The token is the parser's and lives until
  // the call returns. The base behaviour adds the token to the target tree:
  // an end tag claims the nearest childless top-level element of its name
  // and takes every node after it as children; anything else that is not
  // empty is appended to the top level.
  virtual void onToken(Token* token);

  // True when a tag starts at p. remaining counts the bytes from p to the
  // end of the current chunk plus the bytes of the next chunk that are
  // already known (so constructs split by a chunk boundary are still seen).
  // When true, *p must be '<'. The base rule: "<" before a letter, "!" or
  // "/".
  virtual bool isTagStart(const char* p, int32_t remaining) { return startsTag(p, remaining); }
  static bool startsTag(const char* p, int32_t remaining) {
    if (remaining < 2 || p[0] != '<') {
      return false;
    }
    char next = p[1];
    return isAsciiLetter(next) || next == '!' || next == '/';
  }

  // Tokenizes the whole source into target's top level, after what it
  // holds already. Does nothing when target is null. The caller keeps
  // ownership of both.
  virtual void parse(ByteSource* source, Tree* target);

  // Optional: checked between tokens; pause blocks there, stop ends parse()
  // with the tree built so far intact. Not owned; may be null.
  void setControl(platform::ParseControl* control) { control_ = control; }

  // Optional: an attribute whose name the filter refuses is not stored. A
  // reader that asks for a few names only keeps the tree that much smaller.
  // Null (the default) keeps every attribute.
  using AttributeFilter = bool (*)(std::string_view name);
  void setAttributeFilter(AttributeFilter filter) { attributeFilter_ = filter; }

  // Optional: the tag number each element keeps for its reader
  // (ElementNode::tag), from its name, asked once per name (case folded) in
  // a parse; results from 0 to 254 count, others become Unclassified. Null
  // (the default) leaves every element Unclassified.
  using TagClassifier = int32_t (*)(std::string_view name);
  void setTagClassifier(TagClassifier classifier) { tagClassifier_ = classifier; }

protected:
  Tree* target() const { return target_; }

private:
  struct Run;  // the working state of one parse
  friend struct Run;

  void buildTree(Token& token);
  void closeElement(std::string_view name);
  void beginTree(Tree* target);
  void endTree();
  void settle();
  void indexTopLevel(ElementNode* element, OpenElements::Name& name);
  static bool isOpen(const ElementNode* element);

  Tree* target_ = nullptr;
  platform::ParseControl* control_ = nullptr;
  AttributeFilter attributeFilter_ = nullptr;
  TagClassifier tagClassifier_ = nullptr;

  // Top-level elements of the target that are still childless, by folded
  // name, in document order. Lets an end tag find its element in constant
  // amortised time instead of walking the top level backwards. Entries of
  // elements that were buried or got children are dropped lazily when they
  // surface.
  OpenElements openByName_;
  // The elements of the target's top level, in document order. A claim
  // buries every one after the claimed element and drops them here, which
  // is how buried elements are recognised in openByName_ without a search.
  ChunkedStack<ElementNode*> topLevelElements_;
  // Every element of topLevelElements_ below this one has children: no end
  // tag can claim it any more, so the tree up to the first one after it has
  // settled (Tree::settle). Only a claim can move it on.
  std::size_t firstOpen_ = 0;
  bool claimed_ = false;
  const Node* settled_ = nullptr;  // what was settled last
};

}  // namespace orbis
