// Feeds arbitrary bytes to the tag tokenizer and the tree builder, then
// destroys the tree. Reads the tree's shape on the way: record by record,
// and through the children of each element, so that deep trees exercise
// both.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "markup/byte_source.h"
#include "markup/markup_parser.h"
#include "markup/tree.h"

namespace {

// Inputs beyond this add time but no new paths.
constexpr size_t MaxInput = 1 << 20;

// Checks that every element with children is ended by a Close record, and
// that counting the nodes through children() meets each node once.
void checkTree(const orbis::Tree& tree) {
  std::size_t records = 0;
  std::size_t depth = 0;
  orbis::TreeReader reader(tree);
  while (const orbis::Node* node = reader.next()) {
    if (node->kind() == orbis::NodeKind::Close) {
      if (depth == 0) __builtin_trap();
      --depth;
      continue;
    }
    ++records;
    if (node->hasChildren()) ++depth;
  }
  if (depth != 0) __builtin_trap();
  std::size_t counted = 0;
  std::vector<orbis::Node::ChildRange> pending{tree.children()};
  while (!pending.empty()) {
    orbis::Node::ChildRange range = pending.back();
    pending.pop_back();
    for (const orbis::Node* child : range) {
      ++counted;
      pending.push_back(child->children());
    }
  }
  if (counted != records) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char empty = 0;
  const char* bytes = size != 0 ? reinterpret_cast<const char*>(data) : &empty;
  orbis::MemorySource source(bytes, static_cast<int64_t>(size < MaxInput ? size : MaxInput));
  orbis::MarkupParser parser;
  orbis::Tree root;
  parser.parse(&source, &root);
  checkTree(root);
  return 0;
}
