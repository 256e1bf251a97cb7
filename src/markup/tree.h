// A document tree: its nodes as records in document order (see node.h),
// cut one after the other from pool chunks. Appending a node costs a copy
// of its bytes; ending an element (so that every node appended after it
// becomes its child) costs a flag in its record and a Close record after
// its last descendant. The tree builder only ever appends and ends, so the
// order of the records never changes and no node moves.
//
// A reader that walks a tree once can give each chunk back as soon as it
// has left it (TreeReader with release), so that a large page's tree
// shrinks while its lines are made from it.
//
// Such a reader may run on another thread while the tree is still built:
// the builder settles the records that can no longer change (settle), and
// the reader takes only those until the tree is complete. Building, and
// the reader's giving back of chunks, then touch different chunks.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "markup/node.h"

namespace orbis {

class Tree {
public:
  Tree() = default;
  ~Tree() { clear(); }
  Tree(const Tree&) = delete;
  Tree& operator=(const Tree&) = delete;

  // The nodes at the top level.
  Node::ChildRange children() const;
  bool empty() const { return firstRecord()->kind() == NodeKind::End; }
  // The first record: a node, or End.
  const Node* firstRecord() const;

  // Appends an element with its name as written, its reader's tag number and
  // its attributes (AttributeRange's encoding). Throws std::bad_alloc when
  // memory runs out or a record would reach 4 GiB.
  ElementNode* appendElement(std::string_view name, uint8_t tag, std::string_view attributes);
  // Appends a text (which should not be empty).
  TextNode* appendText(std::string_view text);
  // True when nothing was appended after element.
  bool endsWith(const ElementNode* element) const;
  // Makes every node appended after element (which must have no children
  // yet, and must not be the last node) its children.
  void close(ElementNode* element);

  // Gives back every chunk that lies wholly before record.
  void releaseBefore(const Node* record);
  // Forgets every node and gives the memory back.
  void clear();

  // The builder's side: every record before end (a record of the tree, or
  // where the next one goes) stays as it is; the tree is complete, or
  // growing again.
  void settle(const Node* end) { settled_.store(end, std::memory_order_release); }
  void setComplete(bool complete) { complete_.store(complete, std::memory_order_release); }
  // Where the next record goes; null before the first.
  const Node* writePosition() const { return reinterpret_cast<const Node*>(write_); }
  // The reader's side: null until something settled.
  const Node* settledEnd() const { return settled_.load(std::memory_order_acquire); }
  bool complete() const { return complete_.load(std::memory_order_acquire); }

  // Where the Jump record at the end of a chunk leads.
  static const Node* jumpTarget(const Node* jump);

private:
  struct Chunk {
    Chunk* next;
    std::size_t size;
  };

  char* reserve(std::size_t size);
  void endHere();

  Chunk* first_ = nullptr;
  Chunk* last_ = nullptr;
  char* write_ = nullptr;  // where the next record goes; it holds End meanwhile
  char* limit_ = nullptr;  // past it, only a Jump record fits
  std::atomic<const Node*> settled_{nullptr};
  std::atomic<bool> complete_{true};  // a tree that no builder is building
};

// Reads a tree's records in document order: elements, texts, and the Close
// records that end the children of elements; null at the end.
class TreeReader {
public:
  // The whole tree; with release, every chunk goes back to the pool once the
  // reading has left it (the nodes given out before are gone then). With
  // settledOnly, a tree still being built is read as far as it settled
  // (see ended()); the reader is made once something settled.
  TreeReader(Tree& tree, bool release, bool settledOnly = false)
      : tree_(&tree), next_(tree.firstRecord()), release_(release), settledOnly_(settledOnly) {}
  explicit TreeReader(const Tree& tree) : next_(tree.firstRecord()) {}
  // One element, its subtree and the Close record that ends it.
  explicit TreeReader(const ElementNode& element) : next_(&element), bounded_(true) {}

  // The next record; null at the end, or while the next has not settled.
  const Node* next();
  // True once next() met the end.
  bool ended() const { return done_; }
  // Passes over the subtree of the element that next() gave last (which
  // settled with it).
  void skipChildren(const ElementNode& element);

private:
  // The record at next_, over the end of a chunk (leaving it behind).
  const Node* current();

  Tree* tree_ = nullptr;
  // Where the next record is: a record, or a Jump to it. Where a record
  // leads is only looked at once it settled.
  const Node* next_;
  std::size_t depth_ = 0;
  bool release_ = false;
  bool settledOnly_ = false;
  bool bounded_ = false;
  bool done_ = false;
  bool leftChunk_ = false;  // chunks before next_ may be given back
};

}  // namespace orbis
