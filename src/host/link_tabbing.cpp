// The links' first pieces are gathered once per shown document, in text
// order, so that each Tab is a binary search however long the page.
#include "host/link_tabbing.h"

#include <algorithm>
#include <vector>

#include "host/host_calls.h"
#include "host/link_following.h"
#include "host/notices.h"
#include "host/plugin_state.h"

namespace orbis::host {

namespace {

const std::vector<LinkStart>& linkStarts(PluginState& state) {
  Showing& showing = state.showing;
  if (showing.linkStartsKnown) return showing.linkStarts;
  const Document& document = *state.currentDocument;
  for (std::size_t i = 0; i < document.lines.size(); ++i) {
    for (const TextRun& run : document.lines[i].runs) {
      if (run.isLink() && !run.hasPreviousPiece()) {
        showing.linkStarts.push_back({static_cast<int32_t>(i), run.start});
      }
    }
  }
  showing.linkStartsKnown = true;
  return showing.linkStarts;
}

}  // namespace

void moveToLink(const EditorInfo& info, bool backwards) {
  PluginState& state = pluginState();
  const std::vector<LinkStart>& starts = linkStarts(state);
  if (starts.empty()) return;
  const LinkStart cursor{info.CurLine, info.CurPos};
  LinkStart target;
  bool wrapped = false;
  if (!backwards) {
    auto next = std::upper_bound(starts.begin(), starts.end(), cursor);
    wrapped = next == starts.end();
    target = wrapped ? starts.front() : *next;
  } else {
    auto before = std::lower_bound(starts.begin(), starts.end(), cursor);
    wrapped = before == starts.begin();
    target = wrapped ? starts.back() : *(before - 1);
  }
  bool onScreen = target.line >= info.TopScreenLine &&
                  int64_t{target.line} < int64_t{info.TopScreenLine} + info.WindowSizeY;
  EditorSetPosition position{
      target.line, target.column, -1, onScreen ? -1 : anchorTop(info, target.line), -1, -1};
  editorControl(ECTL_SETPOSITION, &position);
  state.cursorLine = target.line;
  state.cursorColumn = static_cast<int16_t>(target.column);
  if (wrapped) showNotice(backwards ? "Wrapped to the end" : "Wrapped to the top");
}

}  // namespace orbis::host
