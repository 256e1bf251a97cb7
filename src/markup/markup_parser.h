// The chunked tag tokenizer and, as its default token handler, the tree
// builder. Documents (through DocumentParser) and the settings file (through
// a plain MarkupParser) share this syntax.
//
// parse() pulls the source ChunkSize bytes at a time and cuts the bytes into
// tokens: elements (start tags, and end tags whose name begins with "/") and
// runs of text; comments and declarations make no token. Every completed
// token is handed to onToken, which takes ownership. Nothing is ever an
// error: every byte sequence yields some token stream.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "markup/byte_source.h"
#include "markup/node.h"
#include "markup/open_elements.h"

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
  // and at the end of the input. The base behaviour links the token into the
  // target's tree: an end tag claims the nearest childless top-level element
  // of its name and takes every node after it as children; anything else
  // that is not empty is appended to the top level.
  virtual void onToken(std::unique_ptr<Node> token);

  // True when a tag starts at p. remaining counts the bytes from p to the
  // end of the current chunk plus the bytes of the next chunk that are
  // already known (so constructs split by a chunk boundary are still seen).
  // When true, *p must be '<'.
  virtual bool isTagStart(const char* p, int32_t remaining);

  // Tokenizes the whole source into target's children. Does nothing when
  // target is null. The caller keeps ownership of both.
  virtual void parse(ByteSource* source, Node* target);

  // Optional: checked between tokens; pause blocks there, stop ends parse()
  // with the tree built so far intact. Not owned; may be null.
  void setControl(platform::ParseControl* control) { control_ = control; }

  // Optional: an attribute whose name the filter refuses is not stored. A
  // reader that asks for a few names only keeps the tree that much smaller.
  // Null (the default) keeps every attribute.
  using AttributeFilter = bool (*)(std::string_view name);
  void setAttributeFilter(AttributeFilter filter) { attributeFilter_ = filter; }

protected:
  Node* target() const { return target_; }

private:
  struct Run;  // the working state of one parse
  friend struct Run;

  void buildTree(std::unique_ptr<Node> token);
  void keepSpare(std::unique_ptr<Node> token);
  std::unique_ptr<ElementNode> takeSpareElement();
  std::unique_ptr<TextNode> takeSpareText();
  void closeElement(const ElementNode& endTag);
  void beginTree(Node* target);
  void indexTopLevel(ElementNode* element);
  bool isOpen(const OpenElements::Entry& entry) const;

  Node* target_ = nullptr;
  platform::ParseControl* control_ = nullptr;
  AttributeFilter attributeFilter_ = nullptr;

  // Top-level elements of the target that are still childless, by folded
  // name, in document order. Lets an end tag find its element in constant
  // amortised time instead of walking the top level backwards. Entries that
  // were moved or got children are dropped lazily when they surface.
  OpenElements openByName_;
  // The elements of the target's top level, in document order. A claim
  // truncates it after the claimed element, which is how moved elements are
  // recognised in openByName_ without visiting them.
  std::vector<ElementNode*> topLevelElements_;
  // An element token the builder dropped (an end tag, mostly), emptied and
  // kept for the tokenizer's next tag, so that end tags cost no allocation.
  std::unique_ptr<ElementNode> spareElement_;
  // Likewise a text token that came out empty (white space folded away).
  std::unique_ptr<TextNode> spareText_;
};

}  // namespace orbis
