// The tree builder's index of top-level elements that an end tag may still
// claim, by tag name with letter case folded. Each name has a stack of
// entries in document order; which entries are still valid is for the
// builder to judge. Internal to the markup library.
//
// Names are hashed and compared with case folded straight from the tag as
// written, so looking up a name copies nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orbis {

class ElementNode;

class OpenElements {
public:
  // An element and its index in the builder's list of top-level elements
  // when it was appended.
  struct Entry {
    ElementNode* element;
    std::size_t slot;
  };
  using Stack = std::vector<Entry>;

  // The stack for name, created empty when the name is new.
  Stack& stackFor(std::string_view name);
  // The stack for name, or null when the name has none.
  Stack* find(std::string_view name);
  // Forgets every name and gives the memory back.
  void reset();

private:
  struct Name {
    uint64_t hash;
    std::string folded;
    Stack stack;
  };

  // The name's slot in slots_, or the free slot where it would go. A slot
  // holds an index into names_ plus one, or 0 when free.
  std::size_t probe(std::string_view name, uint64_t hash) const;
  void grow();

  std::vector<Name> names_;
  std::vector<uint32_t> slots_;  // open addressing; size a power of two
};

}  // namespace orbis
