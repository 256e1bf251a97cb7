#include "render/link_targets.h"

#include <cstring>
#include <functional>
#include <limits>
#include <new>

namespace orbis {

namespace {

constexpr std::size_t FirstTableSize = 256;

uint32_t hashOf(std::string_view text) {
  // Both halves of a 64-bit hash count; a 32-bit one is taken as it is.
  uint64_t hash = std::hash<std::string_view>()(text);
  return static_cast<uint32_t>(hash ^ (hash >> 32));
}

}  // namespace

std::size_t LinkTargets::slotOf(std::string_view target, uint32_t hash) const {
  std::size_t mask = slots_.size() - 1;
  std::size_t slot = hash & mask;
  while (slots_[slot].index != 0 &&
         (slots_[slot].hash != hash || targets_[slots_[slot].index] != target)) {
    slot = (slot + 1) & mask;
  }
  return slot;
}

void LinkTargets::grow() {
  std::vector<Slot> larger(slots_.size() * 2, Slot{0, 0});
  std::size_t mask = larger.size() - 1;
  for (const Slot& old : slots_) {
    if (old.index == 0) continue;
    std::size_t slot = old.hash & mask;
    while (larger[slot].index != 0) slot = (slot + 1) & mask;
    larger[slot] = old;
  }
  slots_.swap(larger);
}

uint32_t LinkTargets::add(std::string_view target) {
  if (target.empty()) return 0;
  const uint32_t hash = hashOf(target);
  std::size_t slot = slotOf(target, hash);
  if (slots_[slot].index != 0) return slots_[slot].index;
  if (targets_.size() >= std::numeric_limits<uint32_t>::max()) throw std::bad_alloc();
  char* bytes = static_cast<char*>(bytes_.allocate(target.size()));
  std::memcpy(bytes, target.data(), target.size());
  targets_.emplace_back(bytes, target.size());
  auto index = static_cast<uint32_t>(targets_.size() - 1);
  slots_[slot] = Slot{index, hash};
  if (2 * targets_.size() > slots_.size()) grow();
  return index;
}

void LinkTargets::clear() {
  bytes_.clear();
  targets_.assign(1, std::string_view());
  slots_.assign(FirstTableSize, Slot{0, 0});
}

}  // namespace orbis
