// The nodes of a document tree (markup/tree.h), shared by HTML documents
// and the settings file.
//
// A tree keeps its nodes as records one after the other in document order,
// which is also the order of a walk that visits each node before its
// children: an element is followed by its children and their descendants,
// then by the Close record that ends it. A node is therefore only a view of
// its record, met by walking a tree or its children; it is never made or
// destroyed on its own. A large page holds millions of nodes, and a record
// is what the node needs and no more: an element is 12 bytes, its name and
// its attributes, a text is 8 bytes and its bytes.
//
// An element's attributes are name/value pairs in document order,
// duplicates kept, never one with an empty name or value.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace orbis {

enum class NodeKind : uint8_t {
  Element = 1,
  Text = 2,
  // Records that are no nodes: the end of an element's children, the end of
  // a chunk of records (the next is elsewhere), the end of the tree.
  Close = 3,
  Jump = 4,
  End = 5,
};

// What an element's tag is to its reader, from a function of its name
// given to the parser (MarkupParser::setTagClassifier); Unclassified when
// there was none.
constexpr uint8_t Unclassified = 0xFF;

class Node {
public:
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;

  NodeKind kind() const { return kind_; }
  bool hasChildren() const { return (flags_ & HasChildren) != 0; }

  // Iteration over the children: for (const Node* child : element.children()).
  // Each step skips the subtree of the child before, so a walk over every
  // node should rather go record by record (TreeReader).
  class ChildRange {
  public:
    class Iterator {
    public:
      explicit Iterator(const Node* node) : node_(node) {}
      const Node* operator*() const { return node_; }
      Iterator& operator++();
      bool operator!=(const Iterator& other) const { return node_ != other.node_; }

    private:
      const Node* node_;
    };
    explicit ChildRange(const Node* first) : first_(first) {}
    Iterator begin() const { return Iterator(first_); }
    Iterator end() const { return Iterator(nullptr); }

  private:
    const Node* first_;
  };
  ChildRange children() const;

protected:
  friend class Tree;
  friend class MarkupParser;
  explicit Node(NodeKind kind, uint8_t tag = 0) : kind_(kind), flags_(0), tag_(tag), unused_(0) {}
  ~Node() = default;

  enum Flags : uint8_t {
    HasChildren = 1,
    Buried = 2,  // no longer at the top level of its tree (the tree builder's mark)
  };

  NodeKind kind_;
  uint8_t flags_;
  uint8_t tag_;  // elements: see Unclassified
  uint8_t unused_;
};

// An attribute of an element: views of its name and value.
struct Attribute {
  std::string_view name;
  std::string_view value;
};

// Attributes as elements and tokens keep them: for each, the lengths of
// name and value as two 32-bit numbers, then the bytes of both.
class AttributeRange {
public:
  class Iterator {
  public:
    explicit Iterator(const char* at) : at_(at) {}
    Attribute operator*() const {
      uint32_t lengths[2];
      std::memcpy(lengths, at_, sizeof lengths);
      const char* name = at_ + sizeof lengths;
      return {{name, lengths[0]}, {name + lengths[0], lengths[1]}};
    }
    Iterator& operator++() {
      uint32_t lengths[2];
      std::memcpy(lengths, at_, sizeof lengths);
      at_ += sizeof lengths + lengths[0] + lengths[1];
      return *this;
    }
    bool operator!=(const Iterator& other) const { return at_ != other.at_; }

  private:
    const char* at_;
  };

  AttributeRange(const char* begin, const char* end) : begin_(begin), end_(end) {}
  Iterator begin() const { return Iterator(begin_); }
  Iterator end() const { return Iterator(end_); }
  bool empty() const { return begin_ == end_; }
  std::string_view bytes() const { return {begin_, static_cast<std::size_t>(end_ - begin_)}; }

  // Appends a pair in this encoding to bytes.
  static void append(std::string& bytes, std::string_view name, std::string_view value);

private:
  const char* begin_;
  const char* end_;
};

class ElementNode : public Node {
public:
  std::string_view name() const { return {reinterpret_cast<const char*>(this + 1), nameLength_}; }
  // Its reader's number for the tag (see Unclassified).
  uint8_t tag() const { return tag_; }

  AttributeRange attributes() const {
    const char* begin = reinterpret_cast<const char*>(this + 1) + nameLength_;
    return {begin, begin + attributesLength_};
  }

  // Copies the value of the first attribute whose name equals attributeName
  // (same length, case folded) into out. False, out untouched, when
  // attributeName is null or empty or no attribute matches.
  bool getAttribute(const char* attributeName, std::string& out) const {
    return attributesLength_ != 0 && findAttribute(attributeName, out);
  }

  // The record's size in bytes, to the first child or the next sibling.
  uint32_t recordSize() const {
    return (static_cast<uint32_t>(sizeof(ElementNode)) + nameLength_ + attributesLength_ + 3u) &
           ~3u;
  }

private:
  friend class Tree;
  bool findAttribute(const char* attributeName, std::string& out) const;
  ElementNode(uint8_t tag, uint32_t nameLength, uint32_t attributesLength)
      : Node(NodeKind::Element, tag),
        nameLength_(nameLength),
        attributesLength_(attributesLength) {}

  uint32_t nameLength_;
  uint32_t attributesLength_;
  // the name's bytes, then the attributes, follow
};

class TextNode : public Node {
public:
  std::string_view text() const { return {reinterpret_cast<const char*>(this + 1), length_}; }
  uint32_t recordSize() const {
    return (static_cast<uint32_t>(sizeof(TextNode)) + length_ + 3u) & ~3u;
  }

private:
  friend class Tree;
  explicit TextNode(uint32_t length) : Node(NodeKind::Text), length_(length) {}

  uint32_t length_;
  // the text's bytes follow
};

inline const ElementNode* asElement(const Node* node) {
  return node != nullptr && node->kind() == NodeKind::Element
             ? static_cast<const ElementNode*>(node)
             : nullptr;
}
inline const TextNode* asText(const Node* node) {
  return node != nullptr && node->kind() == NodeKind::Text ? static_cast<const TextNode*>(node)
                                                           : nullptr;
}

// The size of node's record: an element, a text or a Close record.
inline uint32_t recordSizeOf(const Node* node) {
  switch (node->kind()) {
    case NodeKind::Element:
      return static_cast<const ElementNode*>(node)->recordSize();
    case NodeKind::Text:
      return static_cast<const TextNode*>(node)->recordSize();
    default:
      return sizeof(Node);
  }
}

// The record that follows node's own record in its tree (its first child,
// its next sibling, or a Close or End record), over the end of a chunk.
const Node* followingRecord(const Node* node);

}  // namespace orbis
