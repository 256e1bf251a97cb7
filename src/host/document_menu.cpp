// The document menu. Going back from it keeps the page's history entry
// until the page has been loaded again.
#include "host/document_menu.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "host/host_calls.h"
#include "host/open_flow.h"
#include "host/plugin_state.h"
#include "platform/memory.h"

namespace orbis::host {

namespace {

// The items live in the zero-filled memory the host expects for them.
class MenuItems {
public:
  explicit MenuItems(int count)
      : items_(
            static_cast<FarMenuItem*>(platform::globalAllocZeroed(sizeof(FarMenuItem) * count))) {}
  ~MenuItems() { platform::globalFree(items_); }
  MenuItems(const MenuItems&) = delete;
  MenuItems& operator=(const MenuItems&) = delete;

  bool valid() const { return items_ != nullptr; }
  FarMenuItem& operator[](int index) { return items_[index]; }
  const FarMenuItem* data() const { return items_; }

private:
  FarMenuItem* items_;
};

// A text longer than the item holds is cut to fit, keeping its zero.
void setText(FarMenuItem& item, const std::string& text) {
  std::size_t length = std::min(text.size(), sizeof item.Text - 1);
  std::memcpy(item.Text, text.data(), length);
  item.Text[length] = '\0';
}

int showMenu(const MenuItems& items, int count) {
  const PluginStartupInfo& startup = pluginState().startup;
  if (startup.Menu == nullptr) return -1;
  return startup.Menu(startup.ModuleNumber, -1, -1, 0, 0, "", nullptr, nullptr, nullptr, nullptr,
                      items.data(), count);
}

}  // namespace

void showDocumentMenu() {
  PluginState& state = pluginState();
  const HistoryEntry* entry = state.history != nullptr ? state.history->top() : nullptr;
  const int count = entry != nullptr ? 2 : 1;
  MenuItems items(count);
  if (!items.valid()) return;
  if (entry != nullptr) setText(items[0], "&Back to: " + entry->title);
  setText(items[count - 1],
          std::string("&Turn ") + (state.documentColors ? "off" : "on") + " document colors");
  items[0].Selected = 1;

  int chosen = showMenu(items, count);
  if (count == 1 || chosen == 1) {
    state.documentColors = !state.documentColors;
  } else if (chosen == 0) {
    goBack(DropEntry::AfterLoading);
  }
}

}  // namespace orbis::host
