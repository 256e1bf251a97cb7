// Tree nodes and attribute records. Destruction flattens the subtree into
// one work list instead of recursing, so the depth of a tree never reaches
// the machine stack.
#include "markup/node.h"

#include <cstring>
#include <new>

namespace orbis {

namespace {

// Room before the first attribute record for the list's last record.
constexpr std::size_t LastSlotSize = sizeof(Attribute*);
static_assert(alignof(Attribute) <= LastSlotSize);

Attribute** lastSlot(Attribute* first) { return reinterpret_cast<Attribute**>(first) - 1; }

}  // namespace

Node::~Node() {
  Node* pending = firstChild_;
  firstChild_ = nullptr;
  lastChild_ = nullptr;
  while (pending != nullptr) {
    Node* node = pending;
    if (node->firstChild_ != nullptr) {
      // Its children take its place in the work list, ahead of its
      // siblings, so that it dies childless and the order stays preorder.
      node->lastChild_->next_ = node->next_;
      pending = node->firstChild_;
      node->firstChild_ = nullptr;
      node->lastChild_ = nullptr;
    } else {
      pending = node->next_;
    }
    node->next_ = nullptr;
    delete node;
  }
}

void Node::appendChild(std::unique_ptr<Node> child) {
  Node* node = child.release();
  if (node == nullptr) {
    return;
  }
  node->next_ = nullptr;
  if (lastChild_ != nullptr) {
    lastChild_->next_ = node;
  } else {
    firstChild_ = node;
  }
  lastChild_ = node;
}

std::unique_ptr<Node> Node::releaseFirstChild() {
  Node* child = firstChild_;
  if (child == nullptr) {
    return nullptr;
  }
  firstChild_ = child->next_;
  if (firstChild_ == nullptr) {
    lastChild_ = nullptr;
  }
  child->next_ = nullptr;
  return std::unique_ptr<Node>(child);
}

void Node::moveFollowingInto(Node* child) {
  if (child == nullptr || child->next_ == nullptr) {
    return;
  }
  Node* first = child->next_;
  if (child->lastChild_ != nullptr) {
    child->lastChild_->next_ = first;
  } else {
    child->firstChild_ = first;
  }
  child->lastChild_ = lastChild_;
  child->next_ = nullptr;
  lastChild_ = child;
}

std::string_view Attribute::name() const {
  return {reinterpret_cast<const char*>(this + 1), nameLength_};
}

std::string_view Attribute::value() const {
  return {reinterpret_cast<const char*>(this + 1) + nameLength_ + 1, valueLength_};
}

ElementNode::~ElementNode() { releaseAttributes(); }

void ElementNode::releaseAttributes() {
  Attribute* record = attributes_;
  attributes_ = nullptr;
  std::size_t prefix = LastSlotSize;  // the first block only
  while (record != nullptr) {
    Attribute* next = record->next_;
    std::size_t size = prefix + record->blockSize();
    char* block = reinterpret_cast<char*>(record) - prefix;
    record->~Attribute();
    releaseBlock(block, size);
    record = next;
    prefix = 0;
  }
}

void ElementNode::addAttribute(const char* attributeName, const char* attributeValue) {
  if (attributeName == nullptr || attributeValue == nullptr || *attributeName == '\0' ||
      *attributeValue == '\0') {
    return;
  }
  std::size_t nameLength = std::strlen(attributeName);
  std::size_t valueLength = std::strlen(attributeValue);
  // One block: [last record, first record only], the record, then the name
  // and the value, each zero-terminated.
  std::size_t prefix = attributes_ == nullptr ? LastSlotSize : 0;
  char* block =
      static_cast<char*>(allocateBlock(prefix + sizeof(Attribute) + nameLength + valueLength + 2));
  Attribute* record = new (block + prefix) Attribute;
  char* bytes = reinterpret_cast<char*>(record + 1);
  std::memcpy(bytes, attributeName, nameLength + 1);
  std::memcpy(bytes + nameLength + 1, attributeValue, valueLength + 1);
  record->nameLength_ = static_cast<uint32_t>(nameLength);
  record->valueLength_ = static_cast<uint32_t>(valueLength);
  if (attributes_ == nullptr) {
    attributes_ = record;
    new (block) Attribute*(record);
  } else {
    (*lastSlot(attributes_))->next_ = record;
    *lastSlot(attributes_) = record;
  }
}

bool ElementNode::getAttribute(const char* attributeName, std::string& out) const {
  if (attributeName == nullptr || *attributeName == '\0') {
    return false;
  }
  std::string_view wanted(attributeName);
  for (const Attribute* record = attributes_; record != nullptr; record = record->next_) {
    if (equalsIgnoringCase(record->name(), wanted)) {
      out.assign(record->value());
      return true;
    }
  }
  return false;
}

}  // namespace orbis
