// The plug-in's process-wide state: the host's function table, the one
// Settings, the host's version, the documents being shown with the editor
// that shows them, the back history and the saved cursor. Read and written
// only on the host's thread; the load's worker thread never touches it.
#pragma once

#include <cstdint>
#include <memory>

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

// Which editor shows the current document: the first editor that reports
// an event while a document is current, which is the one the open loop has
// just opened for it. Events of any other editor are left alone.
struct EditorBinding {
  bool titlePending = true;  // no editor yet; the console title is still to be set
  int editorId = -1;
};

struct PluginState {
  PluginStartupInfo startup{};  // the host's table, copied at start-up
  FarLoadHost loadHost{startup};
  std::unique_ptr<Settings> settings;
  uint32_t farVersion = 0;  // major in the low 16 bits, minor in the high 16 bits

  // The document whose temporary file the editor shows, and the one that
  // replaces it when that editor closes (set together with ECTL_QUIT).
  // Only setCurrentDocument changes the current one, so that each new one
  // is bound to its own editor afresh.
  std::unique_ptr<Document> currentDocument;
  EditorBinding binding;
  std::unique_ptr<Document> pendingDocument;
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

  void setCurrentDocument(std::unique_ptr<Document> document) {
    currentDocument = std::move(document);
    binding = EditorBinding{};
  }
};

PluginState& pluginState();

// The plug-in's entry in the host's plug-in menu.
constexpr const char* MenuTitle = "Orbisline";
constexpr const char* DefaultConsoleTitle = "Orbisline - Far";

}  // namespace orbis::host
