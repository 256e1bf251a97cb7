// Test helpers for the tokenizer and the tree: a parser that records the
// tokens it is handed, sources that cut their bytes into chosen chunks, and
// one-line pictures of token streams and trees.
#pragma once

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "markup/byte_source.h"
#include "markup/markup_parser.h"
#include "markup/node.h"
#include "markup/tree.h"

namespace orbis::testsupport {

// "null", "T:text" for a text, "E:name a=v b=w" for an element.
inline std::string describeToken(const Token* token) {
  if (token == nullptr) {
    return "null";
  }
  if (!token->isElement()) {
    return "T:" + token->text;
  }
  std::string out = "E:" + token->text;
  for (Attribute a : token->attributeRange()) {
    out += ' ';
    out.append(a.name);
    out += '=';
    out.append(a.value);
  }
  return out;
}

// Records every token; also builds the tree when keepTree is set.
class RecordingParser : public MarkupParser {
public:
  void onToken(Token* token) override {
    tokens.push_back(describeToken(token));
    if (keepTree) {
      MarkupParser::onToken(token);
    }
  }

  std::vector<std::string> tokens;
  bool keepTree = false;
};

// Delivers its bytes in chunks of the given sizes, repeating the last one.
class ChunkedSource : public ByteSource {
public:
  ChunkedSource(std::string bytes, std::vector<int32_t> sizes)
      : bytes_(std::move(bytes)), sizes_(std::move(sizes)) {}

  void rewind() override {
    delivered_ = 0;
    reads_ = 0;
  }
  bool read(char* buffer, int32_t& length) override {
    std::memset(buffer, 0, static_cast<std::size_t>(length));
    if (delivered_ >= bytes_.size()) {
      return false;
    }
    std::size_t index = std::min(reads_++, sizes_.size() - 1);
    std::size_t count =
        std::min({static_cast<std::size_t>(length), static_cast<std::size_t>(sizes_[index]),
                  bytes_.size() - delivered_});
    std::memcpy(buffer, bytes_.data() + delivered_, count);
    delivered_ += count;
    length = static_cast<int32_t>(count);
    return true;
  }
  bool isOpen() const override { return true; }

private:
  std::string bytes_;
  std::vector<int32_t> sizes_;
  std::size_t delivered_ = 0;
  std::size_t reads_ = 0;
};

inline std::vector<std::string> tokenize(const std::string& input) {
  RecordingParser parser;
  MemorySource source(input.data(), static_cast<int64_t>(input.size()));
  Tree root;
  parser.parse(&source, &root);
  return parser.tokens;
}

inline std::vector<std::string> tokenizeChunked(const std::string& input,
                                                std::vector<int32_t> sizes) {
  RecordingParser parser;
  ChunkedSource source(input, std::move(sizes));
  Tree root;
  parser.parse(&source, &root);
  return parser.tokens;
}

// Drops null tokens and joins neighbouring texts, so that streams which
// differ only in where texts were split compare equal.
inline std::vector<std::string> merged(const std::vector<std::string>& tokens) {
  std::vector<std::string> out;
  for (const std::string& token : tokens) {
    if (token == "null") {
      continue;
    }
    bool isText = token.rfind("T:", 0) == 0;
    if (isText && !out.empty() && out.back().rfind("T:", 0) == 0) {
      out.back().append(token, 2);
    } else {
      out.push_back(token);
    }
  }
  return out;
}

// The nodes of a tree as "name(child,child),\"text\"", read record by
// record, so that trees of any depth can be pictured.
inline std::string describeTree(const Tree& tree) {
  std::string out;
  TreeReader reader(tree);
  while (const Node* node = reader.next()) {
    if (node->kind() == NodeKind::Close) {
      out += ')';
      continue;
    }
    if (!out.empty() && out.back() != '(') {
      out += ',';
    }
    if (const TextNode* text = asText(node)) {
      out += '"' + std::string(text->text()) + '"';
    } else if (const ElementNode* element = asElement(node)) {
      out.append(element->name());
    }
    if (node->hasChildren()) {
      out += '(';
    }
  }
  return out;
}

// Every text of a tree (or of one element's subtree), in document order.
inline std::string allText(TreeReader reader) {
  std::string out;
  while (const Node* node = reader.next()) {
    if (const TextNode* text = asText(node)) out.append(text->text());
  }
  return out;
}

// The nodes of a children range, for indexing.
inline std::vector<const Node*> nodesOf(Node::ChildRange range) {
  std::vector<const Node*> nodes;
  for (const Node* node : range) nodes.push_back(node);
  return nodes;
}

inline std::string parseToTree(const std::string& input) {
  MarkupParser parser;
  MemorySource source(input.data(), static_cast<int64_t>(input.size()));
  Tree root;
  parser.parse(&source, &root);
  return describeTree(root);
}

}  // namespace orbis::testsupport
