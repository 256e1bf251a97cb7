#include "host/fake_host.h"

#include <cstring>
#include <fstream>

#include "platform/shared/console.h"

// The version text a host executable carries; the test program defines it.
extern "C" char OrbisHostFileVersion[];

#include "host/startup_record.h"

namespace orbis::testing {

namespace {

FakeHost* host = nullptr;
char screen;

std::string joinItems(const char* const* items, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += std::string(" \"") + items[i] + "\"";
  return text;
}

int message(intptr_t number, unsigned flags, const char*, const char* const* items, int count,
            int buttons) {
  host->calls.push_back("MESSAGE " + std::to_string(number) + " " + std::to_string(flags) +
                        joinItems(items, count) + " " + std::to_string(buttons));
  return buttons > 0 ? host->messageAnswer : 0;
}

int menu(intptr_t, int, int, int, unsigned, const char*, const char*, const char*, const int*, int*,
         const FarMenuItem* items, int count) {
  std::string line = "MENU";
  for (int i = 0; i < count; ++i) {
    std::string text(items[i].Text, strnlen(items[i].Text, sizeof items[i].Text));
    line += std::string(items[i].Selected ? " *\"" : " \"") + text + "\"";
  }
  host->calls.push_back(line);
  if (host->menuAnswers.empty()) return -1;
  int answer = host->menuAnswers.front();
  host->menuAnswers.pop_front();
  return answer;
}

void* saveScreen(int x1, int y1, int x2, int y2) {
  host->calls.push_back("SAVE " + std::to_string(x1) + " " + std::to_string(y1) + " " +
                        std::to_string(x2) + " " + std::to_string(y2));
  return &screen;
}

void restoreScreen(void* saved) {
  host->calls.push_back(saved == &screen ? "RESTORE" : "RESTORE other");
}

int editorFunction(const char* fileName, const char* title, int, int, int, int, unsigned,
                   int startLine, int) {
  host->calls.push_back(std::string("EDITOR \"") + title + "\" " + std::to_string(startLine));
  FakeEditor& shown = host->editor;
  shown.fileName = fileName;
  shown.text.clear();
  std::ifstream file(fileName, std::ios::binary);
  for (std::string line; std::getline(file, line);) shown.text.push_back(line);
  shown.line = startLine;
  shown.column = 0;
  shown.top = 0;
  host->quitRequested = false;
  std::size_t index = static_cast<std::size_t>(host->editorsOpened++);
  if (index < host->inEditor.size() && host->inEditor[index]) host->inEditor[index]();
  host->quitRequested = false;
  return 1;
}

// -1 in a field leaves it as it is.
void setPosition(const EditorSetPosition& position) {
  host->calls.push_back("SETPOSITION " + std::to_string(position.CurLine) + " " +
                        std::to_string(position.CurPos) + " " +
                        std::to_string(position.TopScreenLine));
  FakeEditor& shown = host->editor;
  if (position.CurLine != -1) shown.line = position.CurLine;
  if (position.CurPos != -1) shown.column = position.CurPos;
  if (position.TopScreenLine != -1) shown.top = position.TopScreenLine;
}

void titleSet(const char* title) { host->titles.push_back(title); }

// With convertsText, one table fits every text: it makes ASCII letters
// capitals and every byte from 0x80 up a question mark.
constexpr int FakeTable = 3;

int charTable(int command, char* buffer, int size) {
  if (!host->convertsText) return -1;
  if (command == FCT_DETECT) return FakeTable;
  if (command != FakeTable || size != static_cast<int>(sizeof(CharTableSet))) return -1;
  auto* set = reinterpret_cast<CharTableSet*>(buffer);
  for (int b = 0; b < 256; ++b) {
    set->EncodeTable[b] = static_cast<unsigned char>(b >= 'a' && b <= 'z' ? b - 'a' + 'A' : b);
    set->DecodeTable[b] = static_cast<unsigned char>(b >= 0x80 ? '?' : b);
  }
  return 1;
}

int editorControl(int command, void* parameter) {
  const FakeEditor& shown = host->editor;
  switch (command) {
    case ECTL_GETINFO: {
      auto* info = static_cast<EditorInfo*>(parameter);
      *info = EditorInfo{};
      info->EditorID = shown.id;
      info->FileName = shown.fileName.c_str();
      info->WindowSizeX = shown.width;
      info->WindowSizeY = shown.height;
      info->CurLine = shown.line;
      info->CurPos = shown.column;
      info->TopScreenLine = shown.top;
      return 1;
    }
    case ECTL_SETPOSITION:
      setPosition(*static_cast<const EditorSetPosition*>(parameter));
      return 1;
    case ECTL_ADDCOLOR:
      host->colors.push_back(*static_cast<const EditorColor*>(parameter));
      return 1;
    case ECTL_REDRAW:
      host->calls.push_back("REDRAW");
      return 1;
    case ECTL_QUIT:
      host->quitRequested = true;
      host->calls.push_back("QUIT");
      return 1;
    default:
      host->calls.push_back("CONTROL " + std::to_string(command));
      return 1;
  }
}

}  // namespace

FakeHost::FakeHost() : savedVersion_(OrbisHostFileVersion) {
  host = this;
  platform::setConsoleTitleListener(titleSet);
}

FakeHost::~FakeHost() {
  platform::setConsoleTitleListener(nullptr);
  std::strcpy(OrbisHostFileVersion, savedVersion_.c_str());
  host = nullptr;
}

void FakeHost::start(const char* version) {
  std::strcpy(OrbisHostFileVersion, version);
  PluginStartupInfo info = startupInfo();
  SetStartupInfo(&info);
}

int FakeHost::key(uint16_t code, uint32_t controlState, bool down) {
  if (quitRequested) return 0;
  INPUT_RECORD record{};
  record.EventType = KEY_EVENT;
  record.Event.KeyEvent.bKeyDown = down ? 1 : 0;
  record.Event.KeyEvent.wRepeatCount = 1;
  record.Event.KeyEvent.wVirtualKeyCode = code;
  record.Event.KeyEvent.dwControlKeyState = controlState;
  return ProcessEditorInput(&record);
}

int FakeHost::mouse(int16_t column, int16_t row, uint32_t buttons, uint32_t flags) {
  if (quitRequested) return 0;
  INPUT_RECORD record{};
  record.EventType = MOUSE_EVENT;
  record.Event.MouseEvent.dwMousePosition = {column, row};
  record.Event.MouseEvent.dwButtonState = buttons;
  record.Event.MouseEvent.dwEventFlags = flags;
  return ProcessEditorInput(&record);
}

void FakeHost::redraw() {
  if (quitRequested) return;
  colors.clear();
  ProcessEditorEvent(EE_REDRAW, EEREDRAW_ALL);
}

void FakeHost::pluginMenu() {
  if (!quitRequested) OpenPlugin(OPEN_EDITOR, 0);
}

int FakeHost::colorAt(int line, int column) const {
  int attribute = -1;
  for (const EditorColor& color : colors) {
    if (color.StringNumber == line && color.StartPos <= column && column <= color.EndPos)
      attribute = color.Color;
  }
  return attribute;
}

PluginStartupInfo FakeHost::startupInfo(const char* moduleName) const {
  return host::makeStartupInfo(
      moduleName, 5,
      {menu, message, saveScreen, restoreScreen, editorFunction, charTable, editorControl});
}

}  // namespace orbis::testing
