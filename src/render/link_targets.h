// The targets of a document's links, each distinct href kept once: a page
// may repeat the same few hrefs over a great many links, and every piece of
// a link refers to its target by a 32-bit index. Index 0 is the empty
// target of runs that are no link.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "pool/arena.h"

namespace orbis {

class LinkTargets {
public:
  LinkTargets() { clear(); }
  LinkTargets(const LinkTargets&) = delete;
  LinkTargets& operator=(const LinkTargets&) = delete;

  // The index of target, added when it is new. Throws std::bad_alloc when
  // memory runs out.
  uint32_t add(std::string_view target);

  std::string_view operator[](uint32_t index) const { return targets_[index]; }
  std::size_t size() const { return targets_.size(); }

  // Keeps only the empty target.
  void clear();

private:
  std::size_t slotOf(std::string_view target, uint32_t hash) const;
  void grow();

  Arena bytes_;
  std::vector<std::string_view> targets_;
  // Open addressing: each slot holds a target's index, 0 when free (the
  // empty target is never looked up), and its hash, so that a probe
  // compares texts only when the hashes agree. At most half full.
  struct Slot {
    uint32_t index;
    uint32_t hash;
  };
  std::vector<Slot> slots_;
};

}  // namespace orbis
