#include "host/link_following.h"

#include <memory>
#include <string>

#include "host/host_calls.h"
#include "host/link_target.h"
#include "host/notices.h"
#include "host/open_flow.h"
#include "host/plugin_state.h"
#include "host/version.h"
#include "platform/text_file.h"

namespace orbis::host {

namespace {

// The name a target gives, decoded as an address. A name with "+" that
// does not exist as decoded is tried with its "+" kept, so that c++.html
// and my+page.html open.
std::string fileToLoad(std::string_view target, const std::string& sourcePath) {
  std::string name = resolveTarget(target, sourcePath);
  if (target.find('+') == std::string_view::npos ||
      platform::checkOpenable(name.c_str()).problem != platform::OpenProblem::Missing) {
    return name;
  }
  std::string kept = resolveTarget(target, sourcePath, Plus::Kept);
  return platform::checkOpenable(kept.c_str()).problem == platform::OpenProblem::Missing ? name
                                                                                         : kept;
}

}  // namespace

int anchorTop(const EditorInfo& info, int64_t line) {
  int64_t last = pluginState().currentDocument->lastLineIndex;
  return static_cast<int>(last - line > info.WindowSizeY ? line : last - info.WindowSizeY + 2);
}

bool jumpToAnchor(const EditorInfo& info, std::string_view name) {
  const Document& document = *pluginState().currentDocument;
  auto found = document.anchors.find(LowerString(std::string(name)));
  if (found == document.anchors.end()) {
    showNotice(missingAnchorNotice(name));
    return false;
  }
  int64_t line = int64_t{found->second} - 1;
  EditorSetPosition position{static_cast<int>(line), info.CurPos, -1,
                             anchorTop(info, line),  -1,          -1};
  editorControl(ECTL_SETPOSITION, &position);
  return true;
}

void followLink(const EditorInfo& info, std::string_view target) {
  if (!target.empty() && target.front() == '#') {
    jumpToAnchor(info, target.substr(1));
    return;
  }
  if (!versionAtLeast(1, 64)) return;
  UrlParts parts = parseUrl(target);
  if (hasScheme(parts)) {
    showNotice(notLocalNotice(target));
    return;
  }
  PluginState& state = pluginState();
  state.startLine = 0;
  state.pendingDocument.reset();
  std::string name = fileToLoad(target, state.currentDocument->sourcePath);
  LoadResult result;
  std::unique_ptr<Document> document = loadDocument(name.c_str(), result);
  if (document == nullptr) {
    showNotice(cannotOpenNotice(target, result));
    return;
  }
  std::string fragment = parts.fragment.empty() ? std::string() : parts.fragment.substr(1);
  replaceCurrentDocument(std::move(document), std::move(fragment));
}

}  // namespace orbis::host
