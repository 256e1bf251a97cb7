// What a host's user side does for the host model: it supplies the user's
// next action in an editor, answers menus and message boxes, keeps the
// screen under a box, and shows what the editor and the plug-in draw. The
// headless front end plays a key script and writes a trace; a terminal
// front end reads the keyboard and mouse and draws the screen.
//
// Nothing is drawn before the first drawing call (editorDrawn, showMessage,
// chooseFromMenu): a front end starts its screen there, so that a file the
// plug-in refuses never touches the terminal.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/far_api.h"

namespace orbis::console {

class ModelEditor;

// One action of the user in the current editor.
struct HostEvent {
  enum class Kind {
    Input,   // record goes to the plug-in, then to the editor
    Save,    // the editor's save command
    Other,   // input to an editor that is not the plug-in's (see HostModel)
    Scroll,  // the view moves to top line top without the plug-in's input
    Resize,  // the console is now columns by rows
    End,     // the user leaves the editor
  };
  Kind kind = Kind::End;
  INPUT_RECORD record{};
  std::string name;  // a key's name as the user gave it, for reports
  int32_t top = 0;
  int columns = 0;
  int rows = 0;
};

// A screen kept under a box; a front end derives what it needs to restore.
struct SavedScreen {
  virtual ~SavedScreen() = default;
};

// Where an editor came from: the plug-in's Editor call, or the host itself.
enum class EditorOrigin { Plugin, Host };

class FrontEnd {
public:
  virtual ~FrontEnd() = default;

  // --- the user's side ---
  virtual HostEvent nextEvent(const ModelEditor& editor) = 0;
  // The chosen item's index, or -1 for none.
  virtual int chooseFromMenu(std::span<const std::string_view> items) = 0;
  // The chosen button's index (0 the first) or -1; a box without buttons
  // is drawn and answered 0 at once.
  virtual int showMessage(unsigned flags, std::span<const std::string_view> items, int buttons) = 0;
  virtual std::unique_ptr<SavedScreen> saveScreen() { return std::make_unique<SavedScreen>(); }
  virtual void restoreScreen(SavedScreen&) {}
  // The editor's help key (F1), when the plug-in lets it through.
  virtual void showHelp() {}
  // The editor's search key (F7): the text to look for, in the bytes of the
  // document's code page, or nothing when the user asks for none.
  virtual std::optional<std::string> askSearchText() { return std::nullopt; }
  // A search found the text nowhere.
  virtual void searchFailed(std::string_view /*text*/) {}
  // A search went past the end of the text and on from the top, or
  // (backward) past the start and on from the end.
  virtual void searchWrapped(bool /*backward*/) {}
  // The host's plug-in menu (F11): the chosen plug-in's index, or -1. By
  // default the list is shown as any menu, also with one plug-in in it.
  virtual int choosePlugin(std::span<const std::string_view> items) {
    return chooseFromMenu(items);
  }

  // --- what is shown ---
  virtual void editorOpened(const ModelEditor&, std::string_view /*title*/, int32_t /*startLine*/,
                            EditorOrigin) {}
  virtual void editorClosed(const ModelEditor&, EditorOrigin) {}
  // After each redraw: the editor's screen from its top line, with the
  // colours the plug-in added during that redraw, in the order sent (a
  // later colour covers an earlier one).
  virtual void editorDrawn(const ModelEditor&, std::span<const EditorColor>) {}
  virtual void titleChanged(std::string_view) {}

  // --- what happened, for reports ---
  // An input record and what ProcessEditorInput returned for it.
  virtual void inputHandled(const HostEvent&, int /*result*/) {}
  // The editor's cursor after it acted on an input.
  virtual void cursorShown(const ModelEditor&) {}
  // An EditorControl call of the plug-in, before the host acts on it.
  virtual void editorControlled(int /*command*/, const void* /*parameter*/) {}
};

}  // namespace orbis::console
