// The viewer's back history: the documents left by following a link, newest
// on top, each with the cursor line it had. Going back takes the top entry
// and reopens its file at that line; there is no forward history, and going
// back never pushes the document that is left. No limit on the number of
// entries.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orbis::host {

struct HistoryEntry {
  std::string path;   // the document's source path, loaded again
  std::string title;  // shown after "&Back to: "
  int32_t line = 0;   // the saved cursor line; the start line when reopened
};

class History {
public:
  History() = default;
  virtual ~History() = default;
  History(const History&) = delete;
  History& operator=(const History&) = delete;

  void push(std::string path, std::string title, int32_t line);
  // The top entry, taken off and handed over; null when empty.
  std::unique_ptr<HistoryEntry> pop();
  // The top entry, left in place (valid until the next push or pop); null
  // when empty.
  const HistoryEntry* top() const;
  bool empty() const { return entries_.empty(); }

private:
  std::vector<std::unique_ptr<HistoryEntry>> entries_;  // oldest first
};

}  // namespace orbis::host
