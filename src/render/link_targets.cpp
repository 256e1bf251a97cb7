#include "render/link_targets.h"

#include <cstring>
#include <functional>
#include <limits>
#include <new>

namespace orbis {

namespace {

constexpr std::size_t FirstTableSize = 256;

std::size_t hashOf(std::string_view text) { return std::hash<std::string_view>()(text); }

}  // namespace

std::size_t LinkTargets::slotOf(std::string_view target, std::size_t hash) const {
  std::size_t mask = slots_.size() - 1;
  std::size_t slot = hash & mask;
  while (slots_[slot] != 0 && targets_[slots_[slot]] != target) slot = (slot + 1) & mask;
  return slot;
}

void LinkTargets::grow() {
  std::vector<uint32_t> larger(slots_.size() * 2, 0);
  slots_.swap(larger);
  for (uint32_t index = 1; index < targets_.size(); ++index) {
    slots_[slotOf(targets_[index], hashOf(targets_[index]))] = index;
  }
}

uint32_t LinkTargets::add(std::string_view target) {
  if (target.empty()) return 0;
  std::size_t slot = slotOf(target, hashOf(target));
  if (slots_[slot] != 0) return slots_[slot];
  if (targets_.size() >= std::numeric_limits<uint32_t>::max()) throw std::bad_alloc();
  char* bytes = static_cast<char*>(bytes_.allocate(target.size()));
  std::memcpy(bytes, target.data(), target.size());
  targets_.emplace_back(bytes, target.size());
  auto index = static_cast<uint32_t>(targets_.size() - 1);
  slots_[slot] = index;
  if (2 * targets_.size() > slots_.size()) grow();
  return index;
}

void LinkTargets::clear() {
  bytes_.clear();
  targets_.assign(1, std::string_view());
  slots_.assign(FirstTableSize, 0);
}

}  // namespace orbis
