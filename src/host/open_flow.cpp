// OpenPlugin: renders a file into a Document and shows its temporary file in
// the host's modal editor. When that editor closes, the document that link
// following or going back has made pending replaces it, and the loop goes on
// until an editor closes with none pending. The History lives exactly as
// long as this loop.
#include <cstring>
#include <string>
#include <vector>

#include "host/document_menu.h"
#include "host/host_calls.h"
#include "host/notices.h"
#include "host/open_flow.h"
#include "host/plugin.h"
#include "host/plugin_state.h"
#include "host/version.h"
#include "platform/shared/console.h"
#include "platform/shared/last_refusal.h"
#include "render/load_context.h"

namespace orbis::host {

namespace {

constexpr const char* VersionNotice = "Sorry, but Orbisline required Far 1.63 or above!";

// Whatever way the open loop ends (an exception included), no document and
// no history outlive it, so that the next OpenPlugin starts afresh instead
// of finding a document that no editor shows.
class ShowingState {
public:
  explicit ShowingState(PluginState& state) : state_(state) {}
  ~ShowingState() {
    state_.currentDocument.reset();
    state_.pendingDocument.reset();
    state_.history.reset();
  }
  ShowingState(const ShowingState&) = delete;
  ShowingState& operator=(const ShowingState&) = delete;

private:
  PluginState& state_;
};

// The title converted for the console, with its terminating zero converted
// too; one more zero byte follows, so the text stays terminated whatever the
// table makes of the first.
std::vector<char> editorTitle(const std::string& title) {
  std::vector<char> converted(title.size() + 2, '\0');
  std::memcpy(converted.data(), title.data(), title.size());
  convertForConsole(converted.data(), static_cast<int>(title.size() + 1));
  return converted;
}

void openDocuments(PluginState& state) {
  while (state.currentDocument != nullptr) {
    const Document& document = *state.currentDocument;
    std::vector<char> title = editorTitle(document.title);
    if (state.startup.Editor != nullptr) {
      state.startup.Editor(document.temporaryPath.c_str(), title.data(), 0, 0, -1, -1, 0,
                           state.startLine, 0);
    }
    if (state.recordHistory && state.history != nullptr) {
      state.history->push(document.sourcePath, document.title, state.cursorLine);
    }
    state.recordHistory = true;
    state.setCurrentDocument(std::move(state.pendingDocument), std::move(state.pendingFragment));
    state.pendingFragment.clear();
  }
}

}  // namespace

std::unique_ptr<Document> loadDocument(const char* name, LoadResult& result) {
  PluginState& state = pluginState();
  platform::ConsoleSize measured;
  if (!platform::consoleMaxWindowSize(measured)) measured = {};
  LoadContext context{*state.settings, layoutConsoleSize(measured), &state.loadHost};
  auto document = std::make_unique<Document>();
  result = document->load(name, context);
  if (result.loaded()) return document;
  platform::setLastRefusal(static_cast<int>(result.failure), result.message);
  return nullptr;
}

void replaceCurrentDocument(std::unique_ptr<Document> document, std::string fragment) {
  PluginState& state = pluginState();
  state.pendingDocument = std::move(document);
  state.pendingFragment = std::move(fragment);
  editorControl(ECTL_QUIT, nullptr);
}

void goBack(DropEntry drop) {
  PluginState& state = pluginState();
  if (state.history == nullptr || state.history->empty()) return;
  std::unique_ptr<HistoryEntry> dropped;
  if (drop == DropEntry::BeforeLoading) dropped = state.history->pop();
  const HistoryEntry& entry = dropped != nullptr ? *dropped : *state.history->top();
  state.pendingDocument.reset();
  LoadResult result;
  std::unique_ptr<Document> document = loadDocument(entry.path.c_str(), result);
  if (document == nullptr) {
    showNotice(cannotOpenNotice(entry.path, result));
    return;
  }
  replaceCurrentDocument(std::move(document));
  state.recordHistory = false;
  state.startLine = entry.line;
  if (drop == DropEntry::AfterLoading) state.history->pop();
}

void openPlugin(int openFrom, intptr_t item) {
  PluginState& state = pluginState();
  if (!versionAtLeast(1, 63)) {
    showMessage(VersionNotice, MenuTitle, "Ok");
    return;
  }
  state.recordHistory = true;
  state.startLine = 0;
  if (state.currentDocument != nullptr) {
    showDocumentMenu();
    return;
  }

  std::string name;
  bool named = false;
  if (openFrom == OPEN_COMMANDLINE) {
    named = item != 0;
    if (named) name = reinterpret_cast<const char*>(item);
  } else {
    EditorInfo info = editorInfo();
    named = info.FileName != nullptr;
    if (named) name = info.FileName;
  }

  ShowingState showing(state);
  LoadResult result;
  state.setCurrentDocument(loadDocument(named ? name.c_str() : nullptr, result));
  if (state.currentDocument == nullptr) return;
  if (state.history == nullptr && versionAtLeast(1, 64))
    state.history = std::make_unique<History>();
  state.pendingDocument.reset();
  openDocuments(state);
}

}  // namespace orbis::host
