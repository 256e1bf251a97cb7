#include "host/history.h"

#include <utility>

namespace orbis::host {

void History::push(std::string path, std::string title, int32_t line) {
  entries_.push_back(
      std::make_unique<HistoryEntry>(HistoryEntry{std::move(path), std::move(title), line}));
}

std::unique_ptr<HistoryEntry> History::pop() {
  if (entries_.empty()) return nullptr;
  std::unique_ptr<HistoryEntry> entry = std::move(entries_.back());
  entries_.pop_back();
  return entry;
}

const HistoryEntry* History::top() const {
  return entries_.empty() ? nullptr : entries_.back().get();
}

}  // namespace orbis::host
