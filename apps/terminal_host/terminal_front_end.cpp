#include "terminal_host/terminal_front_end.h"

#include <algorithm>
#include <limits>

#include "console_host/key_script.h"
#include "console_host/model_editor.h"
#include "platform/codepage.h"
#include "platform/shared/console.h"
#include "terminal_host/framed_box.h"
#include "terminal_host/host_text.h"
#include "terminal_host/viewer_keys.h"

namespace orbis::terminal {

namespace {

using console::HostEvent;
using Kind = TerminalInput::Kind;
using Action = TerminalInput::MouseAction;

constexpr int WheelLines = 3;
constexpr std::string_view LeavingKeys[] = {"F10", "Esc", "q"};
constexpr std::size_t SearchLimit = 256;
constexpr char32_t Delete = 0x7F;
constexpr std::u32string_view SearchPrompt = U"Search for: ";
constexpr std::u32string_view NotFound = U"Not found: ";
constexpr std::u32string_view WrappedToTop = U"Search wrapped to the top";
constexpr std::u32string_view WrappedToEnd = U"Search wrapped to the end";

struct SavedGrid : console::SavedScreen {
  explicit SavedGrid(CellGrid saved) : grid(std::move(saved)) {}
  CellGrid grid;
};

std::string cellText(int column, int row) {
  return std::to_string(column) + "," + std::to_string(row);
}

// What the timing report calls an input.
std::string inputLabel(const TerminalInput& input, platform::ConsoleSize size) {
  switch (input.kind) {
    case Kind::Key:
    case Kind::Character:
      if (!input.name.empty()) return input.name;
      return "U+" + std::to_string(static_cast<uint32_t>(input.character));
    case Kind::Mouse: {
      static const char* const names[] = {
          "move:", "press:", "release:", "click:", "wheel-up:", "wheel-down:"};
      return names[static_cast<int>(input.action)] + cellText(input.column, input.row);
    }
    case Kind::Resize:
      return "resize:" + std::to_string(size.columns) + "x" + std::to_string(size.rows);
    case Kind::Nothing:
    case Kind::Closed:
      break;
  }
  return {};
}

// A character no key of the script stands for (a letter with an accent):
// no key code, the character in the host's code page.
std::vector<HostEvent> characterEvents(char32_t character, const std::string& name) {
  HostEvent down;
  down.kind = HostEvent::Kind::Input;
  down.name = name;
  down.record.EventType = KEY_EVENT;
  KEY_EVENT_RECORD& key = down.record.Event.KeyEvent;
  key.bKeyDown = 1;
  key.wRepeatCount = 1;
  uint16_t unit = character < 0x10000 ? static_cast<uint16_t>(character) : uint16_t{'?'};
  key.uChar.AsciiChar = static_cast<char>(platform::unitToOemByte(unit));
  HostEvent up = down;
  up.record.Event.KeyEvent.bKeyDown = 0;
  return {down, up};
}

COORD cellOf(const TerminalInput& input) {
  constexpr int Largest = std::numeric_limits<int16_t>::max();
  return {static_cast<int16_t>(std::min(input.column, Largest)),
          static_cast<int16_t>(std::min(input.row, Largest))};
}

}  // namespace

bool TerminalFrontEnd::ensureStarted() {
  if (screen_.started()) return true;
  if (!failure_.empty()) return false;
  if (!screen_.start(failure_)) {
    if (failure_.empty()) failure_ = "the terminal cannot be used";
    leaving_ = true;
    return false;
  }
  platform::ConsoleSize size = screen_.size();
  platform::ConsoleSize known;
  // The editors have the size the terminal had when the host began.
  if (!platform::consoleMaxWindowSize(known) || known.columns != size.columns ||
      known.rows != size.rows) {
    platform::setConsoleSizeOverride(size);
    resized_ = true;
  }
  grid_.resize(size.columns, size.rows, colors_.editor);
  if (!windowTitle_.empty()) screen_.setTitle(windowTitle_);
  return true;
}

void TerminalFrontEnd::show(int cursorColumn, int cursorRow) {
  if (!screen_.started()) return;
  if (notice_ != nullptr) {
    CellGrid frame = grid_;
    notice_->draw(frame, -1);
    screen_.present(frame, cursorColumn, cursorRow);
  } else {
    screen_.present(grid_, cursorColumn, cursorRow);
  }
  timing_.screenUpdated();
}

// A notice goes at the next key or click; the pointer moving leaves it.
void TerminalFrontEnd::dismissNotice(const TerminalInput& input) {
  bool moved = input.kind == Kind::Mouse &&
               (input.action == Action::Move || input.action == Action::Release);
  bool passing = input.kind == Kind::Nothing || input.kind == Kind::Resize || moved;
  if (notice_ != nullptr && !passing) notice_.reset();
}

// Pages loaded from now on are laid out at the new width.
void TerminalFrontEnd::followTerminalSize() {
  platform::ConsoleSize size = screen_.size();
  platform::setConsoleSizeOverride(size);
  grid_.resize(size.columns, size.rows, colors_.editor);
  resized_ = true;
}

TerminalInput TerminalFrontEnd::readInput() {
  timing_.inputDone();
  TerminalInput input = screen_.read();
  if (input.kind == Kind::Resize) followTerminalSize();
  // Nobody is left to answer: every box is cancelled, every editor left.
  if (input.kind == Kind::Closed) leaving_ = true;
  std::string label = inputLabel(input, screen_.size());
  if (!label.empty()) timing_.inputRead(std::move(label));
  return input;
}

HostEvent TerminalFrontEnd::nextEvent(const console::ModelEditor& editor) {
  HostEvent event;  // the user leaves
  if (leaving_ || !screen_.started()) {
    leaving_ = true;
    return event;
  }
  while (pending_.empty() && !resized_) {
    TerminalInput input = readInput();
    if (leaving_) return event;
    dismissNotice(input);
    // A note on the key bar stays until the next input.
    if (!keyBar_.prompt) keyBar_ = KeyBarLine{};
    if (translate(input, editor) && leaving_) return event;
  }
  if (resized_) {
    resized_ = false;
    event.kind = HostEvent::Kind::Resize;
    event.columns = grid_.columns();
    event.rows = grid_.rows();
    return event;
  }
  event = std::move(pending_.front());
  pending_.pop_front();
  return event;
}

// Queues the events of input; true when it stands for any, or leaves.
bool TerminalFrontEnd::translate(const TerminalInput& input, const console::ModelEditor& editor) {
  if (input.kind == Kind::Mouse) {
    queueMouse(input, editor);
    return true;
  }
  if (input.kind != Kind::Key && input.kind != Kind::Character) return false;
  if (std::find(std::begin(LeavingKeys), std::end(LeavingKeys), input.name) !=
      std::end(LeavingKeys)) {
    leaving_ = true;
    return true;
  }
  std::vector<HostEvent> events;
  std::string_view pagerKey = pagerKeyFor(input.name);
  if (!pagerKey.empty()) {
    events = console::keyEvents(pagerKey);
  } else if (!input.name.empty()) {
    events = console::keyEvents(input.name);
  } else if (input.kind == Kind::Character && input.character >= 0xA0) {
    events = characterEvents(input.character, inputLabel(input, {}));
  }
  pending_.insert(pending_.end(), events.begin(), events.end());
  return !events.empty();
}

void TerminalFrontEnd::queueMouse(const TerminalInput& input, const console::ModelEditor& editor) {
  COORD cell = cellOf(input);
  std::string where = cellText(input.column, input.row);
  switch (input.action) {
    case Action::Move:
      pending_.push_back(console::mouseEvent("move:" + where, cell, 0, MOUSE_MOVED));
      break;
    case Action::Press:
    case Action::Click:
      pending_.push_back(
          console::mouseEvent("press:" + where, cell, FROM_LEFT_1ST_BUTTON_PRESSED, 0));
      if (input.action == Action::Press) break;
      [[fallthrough]];
    case Action::Release:
      pending_.push_back(console::mouseEvent("release:" + where, cell, 0, 0));
      break;
    case Action::WheelUp:
    case Action::WheelDown: {
      HostEvent scroll;
      scroll.kind = HostEvent::Kind::Scroll;
      scroll.name = where;
      int step = input.action == Action::WheelUp ? -WheelLines : WheelLines;
      scroll.top = std::max(editor.topLine() + step, 0);
      pending_.push_back(std::move(scroll));
      break;
    }
  }
}

// Returns the chosen choice, or -1. The box is drawn over the screen as it
// is, which comes back as it was when the box goes.
int TerminalFrontEnd::runBox(FramedBox& box, int chosen) {
  int count = box.choiceCount();
  int pressed = -1;
  while (true) {
    CellGrid frame = grid_;
    box.draw(frame, chosen);
    screen_.present(frame, -1, 0);
    timing_.screenUpdated();
    TerminalInput input = readInput();
    int at = input.kind == Kind::Mouse ? box.choiceAt(input.column, input.row) : -1;
    if (input.kind == Kind::Mouse) {
      if (input.action == Action::Click && at >= 0) return at;
      if (input.action == Action::Release && at >= 0 && at == pressed) return at;
      if (input.action == Action::Press) pressed = at;
      if (at >= 0 && input.action != Action::Release) chosen = at;
      if (count > 0 && input.action == Action::WheelUp) chosen = (chosen + count - 1) % count;
      if (count > 0 && input.action == Action::WheelDown) chosen = (chosen + 1) % count;
      continue;
    }
    if (input.kind == Kind::Closed) return -1;
    if (input.kind != Kind::Key && input.kind != Kind::Character) continue;
    const std::string& key = input.name;
    if (key == "Esc" || key == "F10") return -1;
    if (key == "Enter" || key == "Space") return count > 0 ? chosen : -1;
    if (count == 0) continue;
    if (key == "Up" || key == "Left" || key == "Shift+Tab") chosen = (chosen + count - 1) % count;
    if (key == "Down" || key == "Right" || key == "Tab") chosen = (chosen + 1) % count;
    if (key == "Home" || key == "PgUp") chosen = 0;
    if (key == "End" || key == "PgDn") chosen = count - 1;
    if (input.kind == Kind::Character && input.character > U' ') {
      int lettered = box.choiceForLetter(input.character);
      if (lettered >= 0) return lettered;
    }
  }
}

int TerminalFrontEnd::chooseFromMenu(std::span<const std::string_view> items) {
  if (!ensureStarted()) return -1;
  BoxContent content;
  content.choicesInRow = false;
  for (std::string_view item : items) content.choices.push_back(hostText(item));
  FramedBox box(std::move(content), colors_.menu);
  int chosen = runBox(box, 0);
  show();
  return chosen;
}

int TerminalFrontEnd::showMessage(unsigned flags, std::span<const std::string_view> items,
                                  int buttons) {
  if (!ensureStarted()) return buttons > 0 ? -1 : 0;
  BoxContent content;
  std::size_t firstButton =
      items.size() - std::min<std::size_t>(static_cast<std::size_t>(buttons), items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    std::u32string text = hostText(items[i]);
    if (i == 0) {
      content.title = std::move(text);
    } else if (i < firstButton) {
      content.lines.push_back(std::move(text));
    } else {
      content.choices.push_back(std::move(text));
    }
  }
  FramedBox box(std::move(content), (flags & FMSG_WARNING) != 0 ? colors_.warning : colors_.dialog);
  if (box.choiceCount() == 0) {
    if (savedScreens_ > 0) {
      // The progress box stays until the screen under it comes back.
      box.draw(grid_, -1);
    } else {
      notice_ = std::make_shared<FramedBox>(std::move(box));
    }
    show();
    return 0;
  }
  int chosen = runBox(box, 0);
  show();
  return chosen;
}

std::unique_ptr<console::SavedScreen> TerminalFrontEnd::saveScreen() {
  ++savedScreens_;
  return std::make_unique<SavedGrid>(grid_);
}

void TerminalFrontEnd::restoreScreen(console::SavedScreen& saved) {
  savedScreens_ = std::max(savedScreens_ - 1, 0);
  CellGrid restored = static_cast<SavedGrid&>(saved).grid;
  restored.resize(grid_.columns(), grid_.rows(), colors_.editor);
  grid_ = std::move(restored);
  show();
}

void TerminalFrontEnd::showHelp() {
  if (!ensureStarted()) return;
  BoxContent content;
  content.title = U"Help";
  content.lines = helpLines();
  FramedBox box(std::move(content), colors_.help);
  while (true) {
    CellGrid frame = grid_;
    box.draw(frame, -1);
    screen_.present(frame, -1, 0);
    timing_.screenUpdated();
    TerminalInput input = readInput();
    bool passing = input.kind == Kind::Nothing || input.kind == Kind::Resize ||
                   (input.kind == Kind::Mouse && input.action != Action::Press &&
                    input.action != Action::Click);
    if (!passing) break;
  }
  show();
}

std::optional<std::string> TerminalFrontEnd::askSearchText() {
  if (!ensureStarted()) return std::nullopt;
  std::u32string typed;
  std::optional<std::string> answer;
  while (true) {
    keyBar_ = KeyBarLine{std::u32string(SearchPrompt) + typed, true};
    drawKeyBarLine(grid_, colors_, keyBar_);
    show(std::min(static_cast<int>(keyBar_.text.size()), grid_.columns() - 1), grid_.rows() - 1);
    TerminalInput input = readInput();
    if (input.kind == Kind::Closed) break;
    if (input.kind != Kind::Key && input.kind != Kind::Character) continue;
    if (input.name == "Esc" || input.name == "F10") break;
    if (input.name == "Enter") {
      answer.emplace();
      for (char32_t c : typed) {
        answer->push_back(static_cast<char>(
            platform::unitToAnsiByte(c < 0x10000 ? static_cast<uint16_t>(c) : uint16_t{'?'})));
      }
      break;
    }
    if (input.name == "BS" && !typed.empty()) typed.pop_back();
    bool printable = input.kind == Kind::Character && input.character >= U' ' &&
                     input.character != Delete &&
                     !(input.character >= 0x80 && input.character < 0xA0);
    if (printable && typed.size() < SearchLimit) typed += input.character;
  }
  keyBar_ = KeyBarLine{};
  drawKeyBarLine(grid_, colors_, keyBar_);
  return answer;
}

void TerminalFrontEnd::searchFailed(std::string_view text) {
  keyBar_ = KeyBarLine{std::u32string(NotFound) + documentText(text), false};
}

void TerminalFrontEnd::searchWrapped(bool backward) {
  keyBar_ = KeyBarLine{std::u32string(backward ? WrappedToEnd : WrappedToTop), false};
}

// With one plug-in there is nothing to choose: F11 opens its own menu.
int TerminalFrontEnd::choosePlugin(std::span<const std::string_view> items) {
  if (items.size() == 1) return 0;
  return chooseFromMenu(items);
}

void TerminalFrontEnd::editorOpened(const console::ModelEditor&, std::string_view title, int32_t,
                                    console::EditorOrigin) {
  titles_.emplace_back(title);
  pending_.clear();
}

void TerminalFrontEnd::editorClosed(const console::ModelEditor&, console::EditorOrigin) {
  if (!titles_.empty()) titles_.pop_back();
  pending_.clear();
}

void TerminalFrontEnd::editorDrawn(const console::ModelEditor& editor,
                                   std::span<const EditorColor> colors) {
  if (!ensureStarted()) return;
  std::string_view title = titles_.empty() ? std::string_view() : std::string_view(titles_.back());
  drawEditor(grid_, editor, colors, title, colors_, keyBar_);
  int column = -1;
  int row = 0;
  editorCursor(grid_, editor, keyBar_, column, row);
  show(column, row);
  timing_.pageShown();
}

void TerminalFrontEnd::titleChanged(std::string_view title) {
  windowTitle_ = std::string(title);
  if (screen_.started()) screen_.setTitle(windowTitle_);
}

}  // namespace orbis::terminal
