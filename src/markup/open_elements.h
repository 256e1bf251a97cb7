// The tree builder's names: each tag name met in a parse (letter case
// folded) once, with its reader's tag number and the stack of top-level
// elements of that name that an end tag may still claim, in document
// order; which entries are still valid is for the builder to judge.
// Internal to the markup library.
//
// Names are hashed and compared with case folded straight from the tag as
// written, so looking up a name copies nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pool/chunked_stack.h"

namespace orbis {

class ElementNode;

class OpenElements {
public:
  struct Name {
    uint64_t hash;
    std::string folded;
    uint8_t tag;
    uint32_t top;  // the entry on top of the name's stack, plus one; 0 when it is empty
  };

  // The record of name; a new one gets the tag number classify gives
  // (Unclassified without classify, or for a number outside 0..254).
  Name& intern(std::string_view name, int32_t (*classify)(std::string_view));
  // The record of name, or null when the name is new.
  Name* find(std::string_view name);
  // Forgets every name and gives the memory back.
  void reset();

  // The stack of a name. The entries of all names share one store: a page
  // may open a million elements of one name, or one of each of a million
  // names.
  void push(Name& name, ElementNode* element);
  ElementNode* top(const Name& name) { return entries_[name.top - 1].element; }
  void pop(Name& name) { name.top = entries_[name.top - 1].below; }

private:
  // The name's slot in slots_, or the free slot where it would go. A slot
  // holds an index into names_ plus one, or 0 when free.
  std::size_t probe(std::string_view name, uint64_t hash) const;
  void grow();

  struct Entry {
    ElementNode* element;
    uint32_t below;  // the entry under it on its name's stack, plus one; 0 for none
  };

  std::vector<Name> names_;
  std::vector<uint32_t> slots_;  // open addressing; size a power of two
  ChunkedStack<Entry> entries_;
  // The name asked for last: an end tag mostly names the element just
  // opened, and runs of one tag are common.
  std::size_t last_ = 0;  // index into names_ plus one, or 0
};

}  // namespace orbis
