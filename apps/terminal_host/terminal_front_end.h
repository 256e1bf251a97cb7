// The front end of the terminal host: the user at a real terminal. It
// draws the editor's screen, the host's boxes and menus and the help box
// on a TerminalScreen, and turns the keys and the mouse into the host's
// events, as the key script names them.
//
// The screen starts at the first drawing call, so a page that is refused
// never touches the terminal. F10, Esc and q leave the viewer: they never
// reach the plug-in, and every editor that is open or opens afterwards is
// left as a user leaves it. The keys of pagers (Space, b, /, n, N, j, k, g,
// G) reach the plug-in as the editor keys they stand for (viewer_keys.h).
// A search that wraps round the text, or finds nothing, says so on the key
// bar row until the next input. A message box without buttons is the
// progress box while a screen is saved under it, which goes when the
// screen comes back; otherwise it is a notice, which stays over the editor
// until the next key or click. With one plug-in loaded, F11 opens its menu
// at once. The wheel scrolls the view three lines at a time. A resized
// terminal becomes a Resize event for the host model, which then redraws;
// a box that is showing is drawn again at once.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "console_host/front_end.h"
#include "terminal_host/cell_grid.h"
#include "terminal_host/editor_view.h"
#include "terminal_host/event_timing.h"
#include "terminal_host/host_colors.h"
#include "terminal_host/terminal_screen.h"

namespace orbis::terminal {

class FramedBox;

class TerminalFrontEnd : public console::FrontEnd {
public:
  // Neither is owned.
  TerminalFrontEnd(TerminalScreen& screen, const HostColors& colors, EventTiming& timing)
      : screen_(screen), colors_(colors), timing_(timing) {}

  // Why the screen could not start at the first drawing call; empty while
  // it could (the host then leaves as if the user had).
  const std::string& failure() const { return failure_; }

  console::HostEvent nextEvent(const console::ModelEditor& editor) override;
  int chooseFromMenu(std::span<const std::string_view> items) override;
  int showMessage(unsigned flags, std::span<const std::string_view> items, int buttons) override;
  std::unique_ptr<console::SavedScreen> saveScreen() override;
  void restoreScreen(console::SavedScreen& saved) override;
  void showHelp() override;
  std::optional<std::string> askSearchText() override;
  void searchFailed(std::string_view text) override;
  void searchWrapped(bool backward) override;
  int choosePlugin(std::span<const std::string_view> items) override;

  void editorOpened(const console::ModelEditor& editor, std::string_view title, int32_t startLine,
                    console::EditorOrigin origin) override;
  void editorClosed(const console::ModelEditor& editor, console::EditorOrigin origin) override;
  void editorDrawn(const console::ModelEditor& editor,
                   std::span<const EditorColor> colors) override;
  void titleChanged(std::string_view title) override;

private:
  bool ensureStarted();
  void show(int cursorColumn = -1, int cursorRow = 0);
  void followTerminalSize();
  bool translate(const TerminalInput& input, const console::ModelEditor& editor);
  void queueMouse(const TerminalInput& input, const console::ModelEditor& editor);
  int runBox(FramedBox& box, int chosen);
  TerminalInput readInput();
  void dismissNotice(const TerminalInput& input);

  TerminalScreen& screen_;
  HostColors colors_;
  EventTiming& timing_;
  std::string failure_;
  CellGrid grid_;
  KeyBarLine keyBar_;
  std::deque<console::HostEvent> pending_;
  std::vector<std::string> titles_;
  std::string windowTitle_;
  int savedScreens_ = 0;
  std::shared_ptr<FramedBox> notice_;  // drawn over the screen until dismissed
  bool leaving_ = false;
  bool resized_ = false;
};

}  // namespace orbis::terminal
