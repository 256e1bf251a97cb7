#include "host/host_calls.h"

#include <cstring>

#include "host/plugin_state.h"

namespace orbis::host {

namespace {

constexpr std::size_t MessageTextCapacity = 256;

// A message item in a buffer of its own, as the host may keep pointers
// into it while the box is shown.
struct MessageText {
  explicit MessageText(const char* text) {
    if (text != nullptr) std::strncpy(bytes, text, MessageTextCapacity - 1);
  }
  char bytes[MessageTextCapacity] = {};
};

}  // namespace

void showMessage(const char* text, const char* title, const char* button) {
  const PluginStartupInfo& startup = pluginState().startup;
  if (startup.Message == nullptr) return;
  MessageText titleItem(title);
  MessageText textItem(text);
  MessageText buttonItem(button);
  const char* const items[] = {titleItem.bytes, textItem.bytes, buttonItem.bytes};
  startup.Message(startup.ModuleNumber, FMSG_WARNING, nullptr, items, 3, 1);
}

EditorInfo editorInfo() {
  EditorInfo info{};
  const PluginStartupInfo& startup = pluginState().startup;
  if (startup.EditorControl != nullptr) startup.EditorControl(ECTL_GETINFO, &info);
  return info;
}

void editorControl(int command, void* parameter) {
  const PluginStartupInfo& startup = pluginState().startup;
  if (startup.EditorControl != nullptr) startup.EditorControl(command, parameter);
}

void convertForConsole(char* text, int count) {
  const PluginStartupInfo& startup = pluginState().startup;
  if (startup.CharTable == nullptr || count <= 0) return;
  int table = startup.CharTable(FCT_DETECT, text, count);
  if (table == -1) return;
  CharTableSet set{};
  startup.CharTable(table, reinterpret_cast<char*>(&set), static_cast<int>(sizeof set));
  for (int i = 0; i < count; ++i) {
    auto byte = static_cast<unsigned char>(text[i]);
    text[i] = static_cast<char>(byte < 0x80 ? set.EncodeTable[byte] : set.DecodeTable[byte]);
  }
}

}  // namespace orbis::host
