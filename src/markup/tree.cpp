// Chunks of records. Each chunk keeps room at its end for the Jump record
// that leads to the next one; the write position always holds an End
// record, which the next append overwrites.
#include "markup/tree.h"

#include <algorithm>
#include <limits>
#include <new>

#include "pool/chunk_pool.h"

namespace orbis {

namespace {

constexpr std::size_t HeaderSize = 16;  // a Chunk, rounded up
constexpr std::size_t JumpSize = sizeof(Node) + sizeof(void*);
constexpr std::size_t MaxRecord = std::numeric_limits<uint32_t>::max() - 8;

std::size_t roundedUp(std::size_t size) { return (size + 3) & ~std::size_t{3}; }

// Most names and texts are a few bytes, for which a call of memcpy costs
// more than the copy.
void copyBytes(char* to, std::string_view from) {
  if (from.size() <= 16) {
    for (char c : from) *to++ = c;
  } else {
    std::memcpy(to, from.data(), from.size());
  }
}

// The only record of a tree that has none.
struct EmptyTree {
  alignas(4) NodeKind kind = NodeKind::End;
  uint8_t rest[3] = {};
};
const EmptyTree emptyTree;

}  // namespace

const Node* Tree::firstRecord() const {
  if (first_ == nullptr) return reinterpret_cast<const Node*>(&emptyTree);
  return reinterpret_cast<const Node*>(reinterpret_cast<const char*>(first_) + HeaderSize);
}

Node::ChildRange Tree::children() const {
  const Node* first = firstRecord();
  return Node::ChildRange(first->kind() == NodeKind::End ? nullptr : first);
}

const Node* Tree::jumpTarget(const Node* jump) {
  const Node* target = nullptr;
  std::memcpy(&target, reinterpret_cast<const char*>(jump) + sizeof(Node), sizeof target);
  return target;
}

char* Tree::reserve(std::size_t size) {
  if (size > static_cast<std::size_t>(limit_ - write_)) {
    std::size_t chunkSize = std::max(PoolChunkSize, HeaderSize + size + JumpSize);
    auto* chunk = static_cast<Chunk*>(allocateChunk(chunkSize));
    chunk->next = nullptr;
    chunk->size = chunkSize;
    char* records = reinterpret_cast<char*>(chunk) + HeaderSize;
    if (last_ != nullptr) {
      // The End at the write position becomes the way on.
      new (write_) Node(NodeKind::Jump);
      std::memcpy(write_ + sizeof(Node), &records, sizeof records);
      last_->next = chunk;
    } else {
      first_ = chunk;
    }
    last_ = chunk;
    write_ = records;
    limit_ = reinterpret_cast<char*>(chunk) + chunkSize - JumpSize;
  }
  char* at = write_;
  write_ += size;
  return at;
}

void Tree::endHere() { new (write_) Node(NodeKind::End); }

ElementNode* Tree::appendElement(std::string_view name, uint8_t tag, std::string_view attributes) {
  if (name.size() > MaxRecord || attributes.size() > MaxRecord - name.size())
    throw std::bad_alloc();
  std::size_t size = roundedUp(sizeof(ElementNode) + name.size() + attributes.size());
  char* at = reserve(size);
  auto* element = new (at) ElementNode(tag, static_cast<uint32_t>(name.size()),
                                       static_cast<uint32_t>(attributes.size()));
  char* bytes = at + sizeof(ElementNode);
  copyBytes(bytes, name);
  copyBytes(bytes + name.size(), attributes);
  endHere();
  return element;
}

TextNode* Tree::appendText(std::string_view text) {
  if (text.size() > MaxRecord) throw std::bad_alloc();
  char* at = reserve(roundedUp(sizeof(TextNode) + text.size()));
  auto* node = new (at) TextNode(static_cast<uint32_t>(text.size()));
  copyBytes(at + sizeof(TextNode), text);
  endHere();
  return node;
}

bool Tree::endsWith(const ElementNode* element) const {
  return reinterpret_cast<const char*>(element) + element->recordSize() == write_;
}

void Tree::close(ElementNode* element) {
  char* at = reserve(sizeof(Node));
  new (at) Node(NodeKind::Close);
  endHere();
  element->flags_ |= Node::HasChildren;
}

void Tree::releaseBefore(const Node* record) {
  auto inside = [record](const Chunk* chunk) {
    auto* begin = reinterpret_cast<const char*>(chunk);
    auto* at = reinterpret_cast<const char*>(record);
    return at >= begin && at < begin + chunk->size;
  };
  // The chunk of record is in the list, and the builder works at its end:
  // only chunks before it go.
  while (first_ != nullptr && !inside(first_)) {
    Chunk* next = first_->next;
    releaseChunk(first_, first_->size);
    first_ = next;
  }
}

void Tree::clear() {
  while (first_ != nullptr) {
    Chunk* next = first_->next;
    releaseChunk(first_, first_->size);
    first_ = next;
  }
  last_ = nullptr;
  write_ = nullptr;
  limit_ = nullptr;
  settled_.store(nullptr, std::memory_order_relaxed);
}

const Node* TreeReader::current() {
  while (next_->kind() == NodeKind::Jump) {
    next_ = Tree::jumpTarget(next_);
    leftChunk_ = true;
  }
  return next_;
}

const Node* TreeReader::next() {
  if (done_) return nullptr;
  // A Jump settles with the record after it, so where next_ stands is
  // compared first and read after.
  if (settledOnly_ && !tree_->complete() && next_ == tree_->settledEnd()) return nullptr;
  const Node* node = current();
  if (settledOnly_ && !tree_->complete() && node == tree_->settledEnd()) return nullptr;
  if (node->kind() == NodeKind::End) {
    done_ = true;
    return nullptr;
  }
  if (leftChunk_ && release_) {
    // The node given before this one was the last that needed the chunks
    // behind.
    tree_->releaseBefore(node);
    leftChunk_ = false;
  }
  if (bounded_) {
    if (node->hasChildren()) {
      ++depth_;
    } else if (node->kind() == NodeKind::Close) {
      --depth_;
    }
    done_ = depth_ == 0;
  }
  next_ = reinterpret_cast<const Node*>(reinterpret_cast<const char*>(node) + recordSizeOf(node));
  return node;
}

void TreeReader::skipChildren(const ElementNode& element) {
  if (!element.hasChildren()) return;
  std::size_t depth = 1;
  while (depth > 0) {
    const Node* node = current();
    if (node->hasChildren()) {
      ++depth;
    } else if (node->kind() == NodeKind::Close) {
      --depth;
    }
    next_ = reinterpret_cast<const Node*>(reinterpret_cast<const char*>(node) + recordSizeOf(node));
  }
  if (bounded_) done_ = --depth_ == 0;
}

}  // namespace orbis
