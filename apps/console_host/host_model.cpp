#include "console_host/host_model.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "console_host/key_script.h"
#include "host/startup_record.h"
#include "platform/char_tables.h"
#include "platform/codepage.h"
#include "platform/shared/console.h"
#include "platform/shared/last_refusal.h"

namespace orbis::console {

namespace {

constexpr int StatusAndKeyBarRows = 2;
constexpr int MenuTextSize = sizeof(FarMenuItem::Text);
// What Editor returns: the file could not be opened, or the editor closed
// with the file unchanged.
constexpr int EditorOpenError = 0;
constexpr int EditorNotModified = 2;
constexpr const char* OtherEditorFile = "other.txt";
// The one character table a host offers: the ANSI code page's.
constexpr int AnsiTable = 0;

HostModel* activeHost = nullptr;

// The host functions, in the host's calling convention. Nothing may unwind
// into the plug-in: a failure answers as a cancelled box or a refused
// command would.
template <typename Result, typename Call>
Result guarded(Result failed, Call call) {
  if (activeHost == nullptr) return failed;
  try {
    return call(*activeHost);
  } catch (...) {
    return failed;
  }
}

int ORBIS_STDCALL hostMenu(intptr_t, int, int, int, unsigned int, const char*, const char*,
                           const char*, const int*, int* breakCode, const FarMenuItem* items,
                           int count) {
  if (breakCode != nullptr) *breakCode = -1;
  return guarded(-1, [&](HostModel& host) { return host.menu(items, count); });
}

int ORBIS_STDCALL hostMessage(intptr_t, unsigned int flags, const char*, const char* const* items,
                              int count, int buttons) {
  return guarded(-1, [&](HostModel& host) { return host.message(flags, items, count, buttons); });
}

void* ORBIS_STDCALL hostSaveScreen(int, int, int, int) {
  return guarded<void*>(nullptr, [](HostModel& host) { return host.saveScreen(); });
}

void ORBIS_STDCALL hostRestoreScreen(void* screen) {
  guarded(0, [&](HostModel& host) {
    host.restoreScreen(screen);
    return 0;
  });
}

int ORBIS_STDCALL hostEditor(const char* fileName, const char* title, int, int, int, int,
                             unsigned int, int startLine, int) {
  return guarded(EditorOpenError,
                 [&](HostModel& host) { return host.editor(fileName, title, startLine); });
}

int ORBIS_STDCALL hostCharTable(int command, char* buffer, int size) {
  return guarded(-1, [&](HostModel& host) { return host.charTable(command, buffer, size); });
}

int ORBIS_STDCALL hostEditorControl(int command, void* parameter) {
  return guarded(0, [&](HostModel& host) { return host.editorControl(command, parameter); });
}

void titleListener(const char* title) {
  guarded(0, [&](HostModel& host) {
    host.titleChanged(title != nullptr ? title : "");
    return 0;
  });
}

}  // namespace

HostModel::HostModel(const PluginEntryPoints& plugin, FrontEnd& frontEnd,
                     platform::ConsoleSize console)
    : plugin_(plugin),
      frontEnd_(frontEnd),
      windowColumns_(console.columns),
      windowRows_(std::max(console.rows - StatusAndKeyBarRows, 1)) {}

HostModel::~HostModel() {
  if (activeHost == this) {
    activeHost = nullptr;
    platform::setConsoleTitleListener(nullptr);
  }
}

void HostModel::start(const std::string& moduleName) {
  activeHost = this;
  started_ = true;
  platform::setConsoleTitleListener(titleListener);
  PluginStartupInfo info =
      host::makeStartupInfo(moduleName, 1,
                            {hostMenu, hostMessage, hostSaveScreen, hostRestoreScreen, hostEditor,
                             hostCharTable, hostEditorControl});
  plugin_.setStartupInfo(&info);

  PluginInfo pluginInfo{};
  pluginInfo.StructSize = sizeof pluginInfo;
  plugin_.getPluginInfo(&pluginInfo);
  menuItems_.clear();
  if ((pluginInfo.Flags & PF_EDITOR) == 0 || pluginInfo.PluginMenuStrings == nullptr) return;
  for (int i = 0; i < pluginInfo.PluginMenuStringsNumber; ++i) {
    const char* item = pluginInfo.PluginMenuStrings[i];
    menuItems_.emplace_back(item != nullptr ? item : "");
  }
}

bool HostModel::openFromCommandLine(const std::string& file) {
  int before = pluginEditorsOpened_;
  lastNotice_.clear();
  platform::clearLastRefusal();
  plugin_.openPlugin(OPEN_COMMANDLINE, reinterpret_cast<intptr_t>(file.c_str()));
  return pluginEditorsOpened_ > before;
}

bool HostModel::editFile(const std::string& file, std::string& error) {
  ModelEditor plain(nextEditorId(), file, windowColumns_, windowRows_);
  if (!plain.open(0, error)) return false;
  runEditor(plain, file, 0, EditorOrigin::Host);
  return true;
}

void HostModel::stop() {
  if (started_) plugin_.exitFar();
  started_ = false;
}

int HostModel::menu(const FarMenuItem* items, int count) {
  std::vector<std::string_view> texts;
  for (int i = 0; items != nullptr && i < count; ++i) {
    const char* text = items[i].Text;
    texts.emplace_back(text, strnlen(text, MenuTextSize));
  }
  return frontEnd_.chooseFromMenu(texts);
}

int HostModel::message(unsigned flags, const char* const* items, int count, int buttons) {
  std::vector<std::string_view> texts;
  for (int i = 0; items != nullptr && i < count; ++i) {
    texts.emplace_back(items[i] != nullptr ? items[i] : "");
  }
  buttons = std::clamp(buttons, 0, static_cast<int>(texts.size()));
  if (buttons > 0) rememberNotice(texts, buttons);
  return frontEnd_.showMessage(flags, texts, buttons);
}

// A box's items are its title, its text lines and its buttons.
void HostModel::rememberNotice(std::span<const std::string_view> items, int buttons) {
  lastNotice_.clear();
  for (std::size_t i = 1; i + static_cast<std::size_t>(buttons) < items.size(); ++i) {
    if (!lastNotice_.empty()) lastNotice_ += ' ';
    lastNotice_ += items[i];
  }
}

void* HostModel::saveScreen() {
  screens_.push_back(frontEnd_.saveScreen());
  return screens_.back().get();
}

void HostModel::restoreScreen(void* screen) {
  auto found = std::find_if(screens_.begin(), screens_.end(),
                            [&](const auto& saved) { return saved.get() == screen; });
  if (found == screens_.end()) return;
  if (*found != nullptr) frontEnd_.restoreScreen(**found);
  screens_.erase(found);
}

int HostModel::editor(const char* fileName, const char* title, int startLine) {
  ModelEditor shown(nextEditorId(), fileName != nullptr ? fileName : "", windowColumns_,
                    windowRows_);
  std::string error;
  if (!shown.open(startLine, error)) return EditorOpenError;
  ++pluginEditorsOpened_;
  runEditor(shown, title != nullptr ? title : "", startLine, EditorOrigin::Plugin);
  return EditorNotModified;
}

int HostModel::editorControl(int command, void* parameter) {
  ModelEditor* editor = reportedEditor();
  bool needsParameter =
      command == ECTL_GETINFO || command == ECTL_SETPOSITION || command == ECTL_ADDCOLOR;
  if (needsParameter && parameter == nullptr) return 0;
  if (command != ECTL_GETINFO) frontEnd_.editorControlled(command, parameter);
  if (editor == nullptr) return 0;
  switch (command) {
    case ECTL_GETINFO:
      editor->fillInfo(*static_cast<EditorInfo*>(parameter));
      return 1;
    case ECTL_SETPOSITION:
      editor->setPosition(*static_cast<const EditorSetPosition*>(parameter));
      return 1;
    case ECTL_REDRAW:
      // Inside a redraw there is nothing more to redraw.
      if (editor != otherEditor_) redraw(*editor);
      return 1;
    case ECTL_ADDCOLOR:
      if (redrawing_) colors_.push_back(*static_cast<const EditorColor*>(parameter));
      return 1;
    case ECTL_QUIT:
      editor->closeRequested = true;
      return 1;
    default:
      return 0;
  }
}

int HostModel::charTable(int command, char* buffer, int size) {
  // Without the offer no table fits any text: titles reach the screen
  // unconverted.
  if (!offersCharTable_) return -1;
  if (command == FCT_DETECT) return AnsiTable;
  if (command != AnsiTable || buffer == nullptr || size < static_cast<int>(sizeof(CharTableSet))) {
    return -1;
  }
  CharTableSet set{};
  const platform::ByteTable& decode = platform::ansiToOemTable();
  const platform::ByteTable& encode = platform::oemToAnsiTable();
  for (int byte = 0; byte < 256; ++byte) {
    set.DecodeTable[byte] = decode[byte];
    set.EncodeTable[byte] = encode[byte];
    bool upper = byte >= 'A' && byte <= 'Z';
    bool lower = byte >= 'a' && byte <= 'z';
    set.LowerTable[byte] = static_cast<unsigned char>(upper ? byte + 32 : byte);
    set.UpperTable[byte] = static_cast<unsigned char>(lower ? byte - 32 : byte);
  }
  std::strncpy(set.TableName, platform::ansiCodePageName(), sizeof set.TableName - 1);
  std::memcpy(buffer, &set, sizeof set);
  return AnsiTable;
}

void HostModel::runEditor(ModelEditor& editor, std::string_view title, int32_t startLine,
                          EditorOrigin origin) {
  editors_.push_back(&editor);
  struct Closing {
    HostModel& host;
    ModelEditor& editor;
    EditorOrigin origin;
    ~Closing() {
      int id = editor.id();
      host.plugin_.processEditorEvent(EE_CLOSE, &id);
      host.frontEnd_.editorClosed(editor, origin);
      host.editors_.pop_back();
    }
  } closing{*this, editor, origin};
  frontEnd_.editorOpened(editor, title, startLine, origin);
  redraw(editor);
  while (!editor.closeRequested) handle(editor, frontEnd_.nextEvent(editor));
}

void HostModel::handle(ModelEditor& editor, const HostEvent& event) {
  switch (event.kind) {
    case HostEvent::Kind::Input:
      deliverInput(editor, event);
      break;
    case HostEvent::Kind::Save:
      plugin_.processEditorEvent(EE_SAVE, nullptr);
      break;
    case HostEvent::Kind::Other:
      playOtherEditor();
      break;
    case HostEvent::Kind::Scroll:
      editor.scrollTo(event.top);
      frontEnd_.cursorShown(editor);
      redraw(editor);
      break;
    case HostEvent::Kind::Resize:
      resize(event.columns, event.rows);
      redraw(editor);
      break;
    case HostEvent::Kind::End:
      editor.closeRequested = true;
      break;
  }
}

void HostModel::deliverInput(ModelEditor& editor, const HostEvent& event) {
  int result = plugin_.processEditorInput(&event.record);
  frontEnd_.inputHandled(event, result);
  if (editor.closeRequested) return;
  if (result == 0) act(editor, event.record);
  if (editor.closeRequested) return;
  frontEnd_.cursorShown(editor);
  redraw(editor);
}

// The editor's own keys: movement, F11 for the plug-in menu, F1 for help
// and F7 for searching (the last two as the front end offers them). Mouse
// events and every other key do nothing here.
void HostModel::act(ModelEditor& editor, const INPUT_RECORD& record) {
  if (record.EventType != KEY_EVENT || record.Event.KeyEvent.bKeyDown == 0) return;
  const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
  switch (key.wVirtualKeyCode) {
    case VK_F11:
      showPluginMenu();
      break;
    case VK_F1:
      frontEnd_.showHelp();
      break;
    case VK_F7:
      search(editor, key.dwControlKeyState);
      break;
    default:
      editor.moveByKey(key.wVirtualKeyCode, key.dwControlKeyState);
      break;
  }
}

// F7 asks for a text and looks forward. Shift+F7 looks for the last text
// again forward, Alt+F7 backward; either asks as F7 does when there is none
// yet.
void HostModel::search(ModelEditor& editor, uint32_t controlState) {
  bool backward = (controlState & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED)) != 0;
  bool again = backward || (controlState & SHIFT_PRESSED) != 0;
  if (!again || lastSearch_.empty()) {
    std::optional<std::string> text = frontEnd_.askSearchText();
    if (!text || text->empty()) return;
    lastSearch_ = std::move(*text);
  }
  std::optional<SearchMatch> match =
      editor.find(lastSearch_, backward ? SearchDirection::Backward : SearchDirection::Forward);
  if (!match) {
    frontEnd_.searchFailed(lastSearch_);
    return;
  }
  EditorSetPosition position{match->line, match->column, -1, -1, -1, -1};
  editor.setPosition(position);
  // The cursor stands at the start of the place found; the rest of it is
  // shown too where the window is wide enough.
  int64_t matchEnd = int64_t{match->column} + static_cast<int64_t>(lastSearch_.size());
  if (matchEnd > int64_t{editor.leftColumn()} + editor.windowColumns()) {
    position.LeftPos =
        static_cast<int32_t>(std::min<int64_t>(match->column, matchEnd - editor.windowColumns()));
    editor.setPosition(position);
  }
  if (match->wrapped) frontEnd_.searchWrapped(backward);
}

// Every open editor gets the new window; pages keep the width they were
// laid out at.
void HostModel::resize(int columns, int rows) {
  windowColumns_ = columns;
  windowRows_ = std::max(rows - StatusAndKeyBarRows, 1);
  for (ModelEditor* open : editors_) open->resize(windowColumns_, windowRows_);
}

void HostModel::showPluginMenu() {
  std::vector<std::string_view> texts(menuItems_.begin(), menuItems_.end());
  int chosen = frontEnd_.choosePlugin(texts);
  if (chosen < 0 || chosen >= static_cast<int>(texts.size())) return;
  plugin_.openPlugin(OPEN_EDITOR, chosen);
}

// Another editor of the host, one the plug-in has not opened, gets a key
// and a redraw and is saved; while it does, ECTL_GETINFO reports it.
void HostModel::playOtherEditor() {
  ModelEditor other(nextEditorId(), OtherEditorFile, windowColumns_, windowRows_);
  other.openEmpty();
  otherEditor_ = &other;
  struct Reporting {
    ModelEditor*& reported;
    bool& redrawing;
    ~Reporting() {
      reported = nullptr;
      redrawing = false;
    }
  } reporting{otherEditor_, redrawing_};
  HostEvent key;
  key.kind = HostEvent::Kind::Input;
  key.name = "x";
  keyDownRecord(key.name, key.record);
  frontEnd_.inputHandled(key, plugin_.processEditorInput(&key.record));
  redrawing_ = true;
  colors_.clear();
  plugin_.processEditorEvent(EE_REDRAW, EEREDRAW_ALL);
  redrawing_ = false;
  plugin_.processEditorEvent(EE_SAVE, nullptr);
}

void HostModel::titleChanged(const char* title) { frontEnd_.titleChanged(title); }

void HostModel::redraw(ModelEditor& editor) {
  if (redrawing_) return;
  redrawing_ = true;
  colors_.clear();
  plugin_.processEditorEvent(EE_REDRAW, EEREDRAW_ALL);
  redrawing_ = false;
  frontEnd_.editorDrawn(editor, colors_);
}

ModelEditor* HostModel::reportedEditor() const {
  if (otherEditor_ != nullptr) return otherEditor_;
  return editors_.empty() ? nullptr : editors_.back();
}

}  // namespace orbis::console
