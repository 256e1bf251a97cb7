// Reading the records of a tree: sizes, the step to the following record
// over the end of a chunk, children and attributes.
#include "markup/node.h"

#include "markup/lower_string.h"
#include "markup/tree.h"

namespace orbis {

namespace {

const char* bytesOf(const Node* node) { return reinterpret_cast<const char*>(node); }

// The record at, or the one a Jump at that place leads to.
const Node* recordAt(const char* at) {
  const Node* node = reinterpret_cast<const Node*>(at);
  while (node->kind() == NodeKind::Jump) node = Tree::jumpTarget(node);
  return node;
}

// The first record after the subtree of node (node itself when it has no
// children): counts Close records against elements with children.
const Node* afterSubtree(const Node* node) {
  std::size_t depth = 0;
  do {
    if (node->hasChildren()) {
      ++depth;
    } else if (node->kind() == NodeKind::Close) {
      --depth;
    }
    node = followingRecord(node);
  } while (depth > 0);
  return node;
}

}  // namespace

const Node* followingRecord(const Node* node) {
  return recordAt(bytesOf(node) + recordSizeOf(node));
}

Node::ChildRange Node::children() const {
  if (!hasChildren()) return ChildRange(nullptr);
  return ChildRange(followingRecord(this));
}

Node::ChildRange::Iterator& Node::ChildRange::Iterator::operator++() {
  const Node* next = afterSubtree(node_);
  bool isNode = next->kind() == NodeKind::Element || next->kind() == NodeKind::Text;
  node_ = isNode ? next : nullptr;
  return *this;
}

void AttributeRange::append(std::string& bytes, std::string_view name, std::string_view value) {
  const uint32_t lengths[2] = {static_cast<uint32_t>(name.size()),
                               static_cast<uint32_t>(value.size())};
  bytes.append(reinterpret_cast<const char*>(lengths), sizeof lengths);
  bytes.append(name);
  bytes.append(value);
}

bool ElementNode::findAttribute(const char* attributeName, std::string& out) const {
  if (attributeName == nullptr || *attributeName == '\0') {
    return false;
  }
  std::string_view wanted(attributeName);
  for (Attribute attribute : attributes()) {
    if (equalsIgnoringCase(attribute.name, wanted)) {
      out.assign(attribute.value);
      return true;
    }
  }
  return false;
}

}  // namespace orbis
