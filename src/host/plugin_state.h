// The plug-in's process-wide state: the host's function table, the one
// Settings, the host's version, the documents being shown with the editor
// that shows them, the back history and the saved cursor. Read and written
// only on the host's thread; the load's worker thread never touches it.
#pragma once

#include <compare>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "config/settings.h"
#include "host/far_api.h"
#include "host/far_load_host.h"
#include "host/history.h"
#include "render/document.h"

namespace orbis::host {

// A console cell as the host's mouse events give it.
struct MouseCell {
  int16_t column = 0;
  int16_t row = 0;
  friend bool operator==(const MouseCell&, const MouseCell&) = default;
};

// The start of a link's first piece: where Tab puts the cursor.
struct LinkStart {
  int32_t line = 0;
  int32_t column = 0;
  friend auto operator<=>(const LinkStart&, const LinkStart&) = default;
};

// What belongs to showing the current document, begun afresh for each. Its
// editor is the first that reports an event while the document is current,
// which is the one the open loop has just opened for it; events of any
// other editor are left alone.
struct Showing {
  bool titlePending = true;  // no editor yet; the console title is still to be set
  int editorId = -1;
  std::string fragment;  // the anchor to go to at the editor's first redraw
  // The links' first pieces in text order, once Tab has needed them.
  std::vector<LinkStart> linkStarts;
  bool linkStartsKnown = false;
};

struct PluginState {
  PluginStartupInfo startup{};  // the host's table, copied at start-up
  FarLoadHost loadHost{startup};
  std::unique_ptr<Settings> settings;
  uint32_t farVersion = 0;  // major in the low 16 bits, minor in the high 16 bits

  // The document whose temporary file the editor shows, and the one that
  // replaces it when that editor closes (set together with ECTL_QUIT).
  // Only setCurrentDocument changes the current one, so that each new one
  // is shown afresh; the pending one comes with the anchor to open it at.
  std::unique_ptr<Document> currentDocument;
  Showing showing;
  std::unique_ptr<Document> pendingDocument;
  std::string pendingFragment;
  // Exists only while documents are shown, and only for hosts from 1.64 on.
  std::unique_ptr<History> history;
  int32_t startLine = 0;      // StartLine of the next editor
  bool recordHistory = true;  // push the current document when its editor closes
  bool documentColors = true;

  // The saved cursor: the cell whose link shows as active and is followed.
  // The line is 32-bit, as pages run past 32,767 lines; the column and the
  // mouse cell are screen cells.
  int16_t cursorColumn = 0;
  int32_t cursorLine = 0;
  MouseCell lastMouse;
  // A search key went to the editor with its cursor here: where the search
  // lands becomes the saved cursor at the next redraw.
  bool searching = false;
  LinkStart searchedFrom;

  void setCurrentDocument(std::unique_ptr<Document> document, std::string fragment = {}) {
    currentDocument = std::move(document);
    showing = Showing{};
    showing.fragment = std::move(fragment);
  }
};

PluginState& pluginState();

// The plug-in's entry in the host's plug-in menu.
constexpr const char* MenuTitle = "Orbisline";
constexpr const char* DefaultConsoleTitle = "Orbisline - Far";

}  // namespace orbis::host
