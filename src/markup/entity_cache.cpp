#include "markup/entity_cache.h"

#include <cstring>

namespace orbis {

namespace {

// FNV-1a: names are a few bytes.
std::size_t hashOf(std::string_view key) {
  uint64_t hash = 14695981039346656037ull;
  for (char c : key) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return static_cast<std::size_t>(hash ^ (hash >> 32));
}

}  // namespace

template <typename Ask>
const std::string& EntityCache::answer(Table& table, std::string_view key, Ask ask) const {
  if (table.slots.empty()) table.slots.assign(Slots, 0);
  std::size_t slot = hashOf(key) & (Slots - 1);
  while (table.slots[slot] != 0) {
    const Answer& known = table.answers[table.slots[slot] - 1];
    if (known.key == key) return known.text;
    slot = (slot + 1) & (Slots - 1);
  }
  if (table.answers.size() >= MostKept) {
    passed_ = ask();
    return passed_;
  }
  table.answers.push_back(Answer{std::string(key), ask()});
  table.slots[slot] = static_cast<uint16_t>(table.answers.size());
  return table.answers.back().text;
}

const std::string& EntityCache::codeText(int32_t code) const {
  char key[sizeof code];
  std::memcpy(key, &code, sizeof code);
  return answer(codes_, std::string_view(key, sizeof key),
                [&] { return resolver_.textForCode(code); });
}

const std::string& EntityCache::nameText(std::string_view name) const {
  // A "name" can run to a ";" far away; hashing it for every "&" before it
  // would make a page of "&" quadratic. No entity name is that long.
  if (name.size() > LongestKept) {
    passed_ = resolver_.textForName(name);
    return passed_;
  }
  return answer(names_, name, [&] { return resolver_.textForName(name); });
}

}  // namespace orbis
