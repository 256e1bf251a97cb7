// Feeds arbitrary bytes to the tag tokenizer and the tree builder, then
// destroys the tree. Reads the tree's shape without recursion on the way, so
// that deep trees exercise the iterative walk as well as the destruction.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "markup/byte_source.h"
#include "markup/markup_parser.h"
#include "markup/node.h"

namespace {

// Inputs beyond this add time but no new paths.
constexpr size_t MaxInput = 1 << 20;

// Checks that every child list ends where its node says it does.
void checkTree(const orbis::Node& root) {
  std::vector<const orbis::Node*> pending{&root};
  while (!pending.empty()) {
    const orbis::Node* node = pending.back();
    pending.pop_back();
    const orbis::Node* last = nullptr;
    for (const orbis::Node* child : node->children()) {
      pending.push_back(child);
      last = child;
    }
    if (last != node->lastChild()) {
      __builtin_trap();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char empty = 0;
  const char* bytes = size != 0 ? reinterpret_cast<const char*>(data) : &empty;
  orbis::MemorySource source(bytes, static_cast<int64_t>(size < MaxInput ? size : MaxInput));
  orbis::MarkupParser parser;
  orbis::Node root;
  parser.parse(&source, &root);
  checkTree(root);
  return 0;
}
