#include "host/fake_host.h"

#include <cstring>

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
  for (int i = 0; i < count; ++i) line += std::string(" \"") + items[i].Text + "\"";
  host->calls.push_back(line);
  return host->menuAnswer;
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
  host->editor.fileName = fileName;
  host->editor.line = startLine;
  host->quitRequested = false;
  if (host->inEditor) host->inEditor();
  return 1;
}

int charTable(int, char*, int) { return -1; }

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

FakeHost::FakeHost() { host = this; }
FakeHost::~FakeHost() { host = nullptr; }

PluginStartupInfo FakeHost::startupInfo(const char* moduleName) const {
  return host::makeStartupInfo(
      moduleName, 5,
      {menu, message, saveScreen, restoreScreen, editorFunction, charTable, editorControl});
}

}  // namespace orbis::testing
