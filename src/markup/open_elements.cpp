// Open addressing with linear probing over a table kept at most half full.
// Names are never removed while a tree is built: a name whose stack has
// emptied keeps its place for the next element of that name.
#include "markup/open_elements.h"

#include <limits>
#include <new>

#include "markup/lower_string.h"
#include "markup/node.h"

namespace orbis {

namespace {

constexpr std::size_t FirstTableSize = 64;

// FNV-1a over the folded bytes.
uint64_t hashFolded(std::string_view name) {
  uint64_t hash = 14695981039346656037ull;
  for (char c : name) {
    hash = (hash ^ foldCase(static_cast<unsigned char>(c))) * 1099511628211ull;
  }
  return hash;
}

bool equalsFolded(std::string_view folded, std::string_view name) {
  if (folded.size() != name.size()) {
    return false;
  }
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (static_cast<unsigned char>(folded[i]) != foldCase(static_cast<unsigned char>(name[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::size_t OpenElements::probe(std::string_view name, uint64_t hash) const {
  std::size_t mask = slots_.size() - 1;
  std::size_t slot = static_cast<std::size_t>(hash) & mask;
  while (slots_[slot] != 0) {
    const Name& entry = names_[slots_[slot] - 1];
    if (entry.hash == hash && equalsFolded(entry.folded, name)) {
      break;
    }
    slot = (slot + 1) & mask;
  }
  return slot;
}

void OpenElements::grow() {
  std::size_t size = slots_.empty() ? FirstTableSize : slots_.size() * 2;
  slots_.assign(size, 0);
  std::size_t mask = size - 1;
  for (std::size_t index = 0; index < names_.size(); ++index) {
    std::size_t slot = static_cast<std::size_t>(names_[index].hash) & mask;
    while (slots_[slot] != 0) {
      slot = (slot + 1) & mask;
    }
    slots_[slot] = static_cast<uint32_t>(index + 1);
  }
}

OpenElements::Name& OpenElements::intern(std::string_view name,
                                         int32_t (*classify)(std::string_view)) {
  if (last_ != 0 && equalsFolded(names_[last_ - 1].folded, name)) {
    return names_[last_ - 1];
  }
  if (2 * (names_.size() + 1) > slots_.size()) {
    grow();
  }
  uint64_t hash = hashFolded(name);
  std::size_t slot = probe(name, hash);
  if (slots_[slot] != 0) {
    last_ = slots_[slot];
    return names_[last_ - 1];
  }
  std::string folded(name);
  for (char& c : folded) {
    c = static_cast<char>(foldCase(static_cast<unsigned char>(c)));
  }
  int32_t tag = classify != nullptr ? classify(name) : Unclassified;
  uint8_t kept = tag >= 0 && tag < Unclassified ? static_cast<uint8_t>(tag) : Unclassified;
  names_.push_back(Name{hash, std::move(folded), kept, 0});
  slots_[slot] = static_cast<uint32_t>(names_.size());
  last_ = names_.size();
  return names_.back();
}

OpenElements::Name* OpenElements::find(std::string_view name) {
  if (last_ != 0 && equalsFolded(names_[last_ - 1].folded, name)) {
    return &names_[last_ - 1];
  }
  if (slots_.empty()) {
    return nullptr;
  }
  std::size_t slot = probe(name, hashFolded(name));
  if (slots_[slot] == 0) {
    return nullptr;
  }
  last_ = slots_[slot];
  return &names_[last_ - 1];
}

void OpenElements::reset() {
  names_ = {};
  slots_ = {};
  last_ = 0;
  entries_.clear();
}

void OpenElements::push(Name& name, ElementNode* element) {
  if (entries_.size() >= std::numeric_limits<uint32_t>::max()) throw std::bad_alloc();
  entries_.push_back(Entry{element, name.top});
  name.top = static_cast<uint32_t>(entries_.size());
}

}  // namespace orbis
