// OpenPlugin: renders a file into a Document and shows its temporary file in
// the host's modal editor. When that editor closes, the document that link
// following or going back has made pending replaces it, and the loop goes on
// until an editor closes with none pending. The History lives exactly as
// long as this loop.
#include <cstring>
#include <string>
#include <vector>

#include "host/host_calls.h"
#include "host/open_flow.h"
#include "host/plugin.h"
#include "host/plugin_state.h"
#include "host/version.h"

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
    state.currentDocument = std::move(state.pendingDocument);
  }
}

}  // namespace

std::unique_ptr<Document> loadDocument(const char* name) {
  auto document = std::make_unique<Document>();
  if (!document->load(name)) return nullptr;
  return document;
}

void replaceCurrentDocument(std::unique_ptr<Document> document) {
  pluginState().pendingDocument = std::move(document);
  editorControl(ECTL_QUIT, nullptr);
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
  state.currentDocument = loadDocument(named ? name.c_str() : nullptr);
  if (state.currentDocument == nullptr) return;
  if (state.history == nullptr && versionAtLeast(1, 64))
    state.history = std::make_unique<History>();
  state.pendingDocument.reset();
  openDocuments(state);
}

}  // namespace orbis::host
