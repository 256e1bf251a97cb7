#include "terminal_host/key_names.h"

#include <curses.h>

#include <algorithm>

namespace orbis::terminal {

namespace {

struct CodeName {
  int code;
  std::string_view name;
};

constexpr CodeName CodeNames[] = {
    {KEY_UP, "Up"},
    {KEY_DOWN, "Down"},
    {KEY_LEFT, "Left"},
    {KEY_RIGHT, "Right"},
    {KEY_PPAGE, "PgUp"},
    {KEY_NPAGE, "PgDn"},
    {KEY_HOME, "Home"},
    {KEY_END, "End"},
    {KEY_IC, "Ins"},
    {KEY_DC, "Del"},
    {KEY_BACKSPACE, "BS"},
    {KEY_ENTER, "Enter"},
    {KEY_BTAB, "Shift+Tab"},
    {KEY_SR, "Shift+Up"},
    {KEY_SF, "Shift+Down"},
    {KEY_SLEFT, "Shift+Left"},
    {KEY_SRIGHT, "Shift+Right"},
    {KEY_SHOME, "Shift+Home"},
    {KEY_SEND, "Shift+End"},
    {KEY_SIC, "Shift+Ins"},
    {KEY_SDC, "Shift+Del"},
    {KEY_SPREVIOUS, "Shift+PgUp"},
    {KEY_SNEXT, "Shift+PgDn"},
};

// Function keys past F12 are F1 to F12 with modifiers, twelve at a time.
constexpr std::string_view FunctionKeyModifiers[] = {"",     "Shift+",    "Ctrl+", "Ctrl+Shift+",
                                                     "Alt+", "Alt+Shift+"};
constexpr int FunctionKeysPerSet = 12;
// ncurses numbers function keys up to F63; the codes after are other keys.
constexpr int LastFunctionKey = 63;

struct BaseKey {
  std::string_view capability;
  std::string_view name;
};

constexpr BaseKey ModifiableKeys[] = {
    {"kUP", "Up"},   {"kDN", "Down"},  {"kLFT", "Left"}, {"kRIT", "Right"}, {"kHOM", "Home"},
    {"kEND", "End"}, {"kPRV", "PgUp"}, {"kNXT", "PgDn"}, {"kIC", "Ins"},    {"kDC", "Del"},
};

// The modifier numbers 2 to 8 of the terminals' convention.
constexpr std::string_view ModifierPrefixes[] = {
    "Shift+", "Alt+", "Alt+Shift+", "Ctrl+", "Ctrl+Shift+", "Ctrl+Alt+", "Ctrl+Alt+Shift+"};

constexpr char32_t Delete = 0x7F;
constexpr int ControlBase = 0x40;

}  // namespace

std::string keyCodeName(int code) {
  for (const CodeName& entry : CodeNames) {
    if (entry.code == code) return std::string(entry.name);
  }
  int function = code - KEY_F0;
  int sets = static_cast<int>(std::size(FunctionKeyModifiers));
  if (function >= 1 && function <= std::min(FunctionKeysPerSet * sets, LastFunctionKey)) {
    int set = (function - 1) / FunctionKeysPerSet;
    int key = (function - 1) % FunctionKeysPerSet + 1;
    return std::string(FunctionKeyModifiers[set]) + "F" + std::to_string(key);
  }
  return {};
}

std::string characterName(char32_t character, bool alt) {
  std::string name;
  if (character == U'\t') {
    name = "Tab";
  } else if (character == U'\r' || character == U'\n') {
    name = "Enter";
  } else if (character == 0x08 || character == Delete) {
    name = "BS";
  } else if (character == U' ') {
    name = "Space";
  } else if (character == 0) {
    name = "Ctrl+Space";
  } else if (character < 0x20 && character != 0x1B) {
    // Ctrl with a letter, or with one of @ [ \ ] ^ _ (which a US keyboard
    // types as 2 [ \ ] 6 -).
    char key = static_cast<char>(character + ControlBase);
    if (key >= 'A' && key <= 'Z') key = static_cast<char>(key - 'A' + 'a');
    if (key == '^') key = '6';
    if (key == '_') key = '-';
    name = std::string("Ctrl+") + key;
  } else if (character > 0x20 && character < Delete) {
    name = std::string(1, static_cast<char>(character));
  }
  if (name.empty() || !alt) return name;
  return "Alt+" + name;
}

std::vector<ModifiedKey> modifiedKeys() {
  std::vector<ModifiedKey> keys;
  for (const BaseKey& key : ModifiableKeys) {
    for (std::size_t i = 0; i < std::size(ModifierPrefixes); ++i) {
      keys.push_back({std::string(key.capability) + std::to_string(i + 2),
                      std::string(ModifierPrefixes[i]) + std::string(key.name)});
    }
  }
  return keys;
}

}  // namespace orbis::terminal
