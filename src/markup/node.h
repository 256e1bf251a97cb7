// The document tree, shared by HTML documents and the settings file.
//
// A node owns its children, which form an intrusive singly linked list
// (first child, last child, next sibling), so that appending a node and
// moving every node after a given child into that child are constant time.
// An element owns its attributes: a list of name/value records in document
// order, duplicates kept, never a record with an empty name or value.
// Destroying a node destroys its whole subtree without recursion, so trees
// of any depth are safe. Nodes and attribute records live in the block pool
// (pool/block_pool.h); a node made with new is deleted with delete as usual,
// from any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "markup/lower_string.h"
#include "pool/block_pool.h"

namespace orbis {

enum class NodeKind : int { Root = 0, Element = 1, Text = 2 };

class Node {
public:
  Node() = default;
  virtual ~Node();
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;

  virtual NodeKind kind() const { return NodeKind::Root; }

  static void* operator new(std::size_t size) { return allocateBlock(size); }
  // The virtual destructor passes the size of the whole derived object.
  static void operator delete(void* block, std::size_t size) noexcept { releaseBlock(block, size); }

  Node* firstChild() const { return firstChild_; }
  Node* lastChild() const { return lastChild_; }
  Node* nextSibling() const { return next_; }
  bool hasChildren() const { return firstChild_ != nullptr; }

  // Takes ownership of child (which must stand in no list) and appends it.
  void appendChild(std::unique_ptr<Node> child);

  // Moves every child that follows `child` (one of this node's children), in
  // order, to the end of child's own children.
  void moveFollowingInto(Node* child);

  // Detaches the first child and hands it over (with its subtree); null when
  // there are no children. Lets a reader release a tree as it goes.
  std::unique_ptr<Node> releaseFirstChild();

  // Iteration: for (Node* c : node.children()) ...
  class ChildRange {
  public:
    class Iterator {
    public:
      explicit Iterator(Node* node) : node_(node) {}
      Node* operator*() const { return node_; }
      Iterator& operator++() {
        node_ = node_->next_;
        return *this;
      }
      bool operator!=(const Iterator& other) const { return node_ != other.node_; }

    private:
      Node* node_;
    };
    explicit ChildRange(Node* first) : first_(first) {}
    Iterator begin() const { return Iterator(first_); }
    Iterator end() const { return Iterator(nullptr); }

  private:
    Node* first_;
  };
  ChildRange children() const { return ChildRange(firstChild_); }

private:
  Node* firstChild_ = nullptr;
  Node* lastChild_ = nullptr;
  Node* next_ = nullptr;
};

// One name/value pair; allocated with its bytes in one block. The block of
// an element's first record also holds, just before the record, a pointer
// to the element's last record, so that appending stays constant time
// without a field in every element.
class Attribute {
public:
  std::string_view name() const;
  std::string_view value() const;
  const Attribute* next() const { return next_; }

private:
  friend class ElementNode;
  std::size_t blockSize() const { return sizeof(Attribute) + nameLength_ + valueLength_ + 2; }

  Attribute* next_ = nullptr;
  uint32_t nameLength_ = 0;
  uint32_t valueLength_ = 0;
  // name bytes, then value bytes, follow the record in the same block
};

class ElementNode : public Node {
public:
  ElementNode() = default;
  explicit ElementNode(std::string_view tagName) : name(tagName) {}
  ~ElementNode() override;

  NodeKind kind() const override { return NodeKind::Element; }

  // Appends a copy of the pair; nothing happens when either is null or
  // empty. Both are zero-terminated: bytes after a zero byte do not count.
  void addAttribute(const char* attributeName, const char* attributeValue);

  // Copies the value of the first attribute whose name equals attributeName
  // (same length, case folded) into out. False, out untouched, when
  // attributeName is null or empty or no attribute matches.
  bool getAttribute(const char* attributeName, std::string& out) const;

  const Attribute* firstAttribute() const { return attributes_; }

  LowerString name;

private:
  friend class MarkupParser;  // empties dropped end tags for reuse
  void releaseAttributes();

  Attribute* attributes_ = nullptr;
};

class TextNode : public Node {
public:
  TextNode() = default;
  explicit TextNode(std::string_view content) : text(content) {}

  NodeKind kind() const override { return NodeKind::Text; }

  std::string text;
};

inline ElementNode* asElement(Node* node) {
  return node && node->kind() == NodeKind::Element ? static_cast<ElementNode*>(node) : nullptr;
}
inline const ElementNode* asElement(const Node* node) {
  return node && node->kind() == NodeKind::Element ? static_cast<const ElementNode*>(node)
                                                   : nullptr;
}
inline TextNode* asText(Node* node) {
  return node && node->kind() == NodeKind::Text ? static_cast<TextNode*>(node) : nullptr;
}
inline const TextNode* asText(const Node* node) {
  return node && node->kind() == NodeKind::Text ? static_cast<const TextNode*>(node) : nullptr;
}

}  // namespace orbis
