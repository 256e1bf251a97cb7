#include "console_host/key_script.h"

#include <cctype>
#include <charconv>
#include <limits>

namespace orbis::console {

namespace {

struct NamedKey {
  std::string_view name;
  uint16_t code;
  char character;
};

constexpr NamedKey NamedKeys[] = {
    {"Up", VK_UP, 0},       {"Down", VK_DOWN, 0},  {"Left", VK_LEFT, 0},
    {"Right", VK_RIGHT, 0}, {"PgUp", VK_PRIOR, 0}, {"PgDn", VK_NEXT, 0},
    {"Home", VK_HOME, 0},   {"End", VK_END, 0},    {"Enter", VK_RETURN, '\r'},
    {"BS", VK_BACK, 8},     {"Tab", VK_TAB, 9},    {"Esc", VK_ESCAPE, 27},
    {"Ins", VK_INSERT, 0},  {"Del", VK_DELETE, 0}, {"Space", VK_SPACE, ' '},
    {"F1", VK_F1, 0},       {"F2", VK_F2, 0},      {"F3", VK_F3, 0},
    {"F4", VK_F4, 0},       {"F5", VK_F5, 0},      {"F6", VK_F6, 0},
    {"F7", VK_F7, 0},       {"F8", VK_F8, 0},      {"F9", VK_F9, 0},
    {"F10", VK_F10, 0},     {"F11", VK_F11, 0},    {"F12", VK_F12, 0},
};

struct PunctuationKey {
  char character;
  uint16_t code;
  bool shifted;
};

// The punctuation of a US keyboard: each key's unshifted character, then
// its shifted one.
constexpr PunctuationKey Punctuation[] = {
    {'`', VK_OEM_3, false},
    {'~', VK_OEM_3, true},
    {'!', '1', true},
    {'@', '2', true},
    {'#', '3', true},
    {'$', '4', true},
    {'%', '5', true},
    {'^', '6', true},
    {'&', '7', true},
    {'*', '8', true},
    {'(', '9', true},
    {')', '0', true},
    {'-', VK_OEM_MINUS, false},
    {'_', VK_OEM_MINUS, true},
    {'=', VK_OEM_PLUS, false},
    {'+', VK_OEM_PLUS, true},
    {'[', VK_OEM_4, false},
    {'{', VK_OEM_4, true},
    {']', VK_OEM_6, false},
    {'}', VK_OEM_6, true},
    {'\\', VK_OEM_5, false},
    {'|', VK_OEM_5, true},
    {';', VK_OEM_1, false},
    {':', VK_OEM_1, true},
    {'\'', VK_OEM_7, false},
    {'"', VK_OEM_7, true},
    {',', VK_OEM_COMMA, false},
    {'<', VK_OEM_COMMA, true},
    {'.', VK_OEM_PERIOD, false},
    {'>', VK_OEM_PERIOD, true},
    {'/', VK_OEM_2, false},
    {'?', VK_OEM_2, true},
};

struct Modifier {
  std::string_view prefix;
  uint32_t state;
};

constexpr Modifier Modifiers[] = {
    {"Ctrl+", LEFT_CTRL_PRESSED}, {"Alt+", LEFT_ALT_PRESSED}, {"Shift+", SHIFT_PRESSED}};

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// A printable character's key: false for anything else.
bool characterKey(char c, KEY_EVENT_RECORD& key) {
  unsigned char byte = static_cast<unsigned char>(c);
  if (byte <= 0x20 || byte >= 0x7F) return false;
  key.uChar.AsciiChar = c;
  if (std::isalpha(byte)) {
    key.wVirtualKeyCode = static_cast<uint16_t>(std::toupper(byte));
    if (std::isupper(byte)) key.dwControlKeyState |= SHIFT_PRESSED;
    return true;
  }
  if (std::isdigit(byte)) {
    key.wVirtualKeyCode = byte;
    return true;
  }
  for (const PunctuationKey& entry : Punctuation) {
    if (entry.character != c) continue;
    key.wVirtualKeyCode = entry.code;
    if (entry.shifted) key.dwControlKeyState |= SHIFT_PRESSED;
    return true;
  }
  return false;
}

bool baseKey(std::string_view name, KEY_EVENT_RECORD& key) {
  if (name.size() == 1) return characterKey(name[0], key);
  for (const NamedKey& entry : NamedKeys) {
    if (!sameIgnoringCase(entry.name, name)) continue;
    key.wVirtualKeyCode = entry.code;
    key.uChar.AsciiChar = entry.character;
    return true;
  }
  return false;
}

// The character a held Shift or Ctrl makes of a letter.
void applyModifiers(KEY_EVENT_RECORD& key) {
  unsigned char letter = static_cast<unsigned char>(key.uChar.AsciiChar);
  if (!std::isalpha(letter)) return;
  if (key.dwControlKeyState & LEFT_CTRL_PRESSED) {
    key.uChar.AsciiChar = static_cast<char>(letter & 0x1F);
  } else if (key.dwControlKeyState & SHIFT_PRESSED) {
    key.uChar.AsciiChar = static_cast<char>(std::toupper(letter));
  }
}

bool parseNumber(std::string_view text, int low, int high, int& out) {
  int value = 0;
  auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (status != std::errc() || end != text.data() + text.size() || value < low || value > high) {
    return false;
  }
  out = value;
  return true;
}

// "COL,ROW" as console cells: 16-bit signed, passed on as given.
bool parseCell(std::string_view text, COORD& cell) {
  std::size_t comma = text.find(',');
  if (comma == std::string_view::npos) return false;
  constexpr int Low = std::numeric_limits<int16_t>::min();
  constexpr int High = std::numeric_limits<int16_t>::max();
  int column = 0;
  int row = 0;
  if (!parseNumber(text.substr(0, comma), Low, High, column) ||
      !parseNumber(text.substr(comma + 1), Low, High, row)) {
    return false;
  }
  cell.X = static_cast<int16_t>(column);
  cell.Y = static_cast<int16_t>(row);
  return true;
}

// move:COL,ROW or click:COL,ROW; false (matched stays false) for any
// other token.
bool parseMouse(std::string_view text, ScriptToken& token, bool& matched) {
  matched = false;
  for (auto [prefix, kind] : {std::pair{std::string_view("move:"), ScriptToken::Kind::Move},
                              std::pair{std::string_view("click:"), ScriptToken::Kind::Click}}) {
    if (text.substr(0, prefix.size()) != prefix) continue;
    matched = true;
    token.kind = kind;
    token.record.EventType = MOUSE_EVENT;
    return parseCell(text.substr(prefix.size()), token.record.Event.MouseEvent.dwMousePosition);
  }
  return false;
}

bool parseToken(std::string_view text, ScriptToken& token) {
  token.text = std::string(text);
  if (text == "save") {
    token.kind = ScriptToken::Kind::Save;
    return true;
  }
  if (text == "other") {
    token.kind = ScriptToken::Kind::Other;
    return true;
  }
  if (text.substr(0, 5) == "pick:") {
    token.kind = ScriptToken::Kind::Pick;
    return parseNumber(text.substr(5), std::numeric_limits<int>::min(),
                       std::numeric_limits<int>::max(), token.pick);
  }
  bool mouse = false;
  bool parsed = parseMouse(text, token, mouse);
  if (mouse) return parsed;
  token.kind = ScriptToken::Kind::Key;
  return keyDownRecord(text, token.record);
}

HostEvent tokenMouseEvent(const ScriptToken& token, uint32_t buttons, uint32_t flags) {
  return mouseEvent(token.text, token.record.Event.MouseEvent.dwMousePosition, buttons, flags);
}

HostEvent commandEvent(HostEvent::Kind kind, const std::string& name) {
  HostEvent event;
  event.kind = kind;
  event.name = name;
  return event;
}

}  // namespace

std::vector<HostEvent> keyEvents(std::string_view name) {
  HostEvent down;
  if (!keyDownRecord(name, down.record)) return {};
  down.kind = HostEvent::Kind::Input;
  down.name = std::string(name);
  HostEvent up = down;
  up.record.Event.KeyEvent.bKeyDown = 0;
  return {down, up};
}

HostEvent mouseEvent(std::string name, COORD cell, uint32_t buttons, uint32_t flags) {
  HostEvent event;
  event.kind = HostEvent::Kind::Input;
  event.name = std::move(name);
  event.record.EventType = MOUSE_EVENT;
  event.record.Event.MouseEvent.dwMousePosition = cell;
  event.record.Event.MouseEvent.dwButtonState = buttons;
  event.record.Event.MouseEvent.dwEventFlags = flags;
  return event;
}

bool keyDownRecord(std::string_view name, INPUT_RECORD& record) {
  record = INPUT_RECORD{};
  record.EventType = KEY_EVENT;
  KEY_EVENT_RECORD& key = record.Event.KeyEvent;
  key.bKeyDown = 1;
  key.wRepeatCount = 1;
  std::string_view rest = name;
  for (bool found = true; found;) {
    found = false;
    for (const Modifier& modifier : Modifiers) {
      if (rest.size() > modifier.prefix.size() &&
          sameIgnoringCase(rest.substr(0, modifier.prefix.size()), modifier.prefix)) {
        key.dwControlKeyState |= modifier.state;
        rest.remove_prefix(modifier.prefix.size());
        found = true;
      }
    }
  }
  if (!baseKey(rest, key)) return false;
  applyModifiers(key);
  return true;
}

bool parseKeyScript(std::string_view script, std::vector<ScriptToken>& tokens,
                    std::string& unknown) {
  tokens.clear();
  std::size_t at = 0;
  while (at < script.size()) {
    if (isBlank(script[at])) {
      ++at;
      continue;
    }
    std::size_t end = at;
    while (end < script.size() && !isBlank(script[end])) ++end;
    std::string_view text = script.substr(at, end - at);
    ScriptToken token;
    if (!parseToken(text, token)) {
      unknown = std::string(text);
      return false;
    }
    tokens.push_back(std::move(token));
    at = end;
  }
  return true;
}

std::vector<HostEvent> tokenEvents(const ScriptToken& token) {
  switch (token.kind) {
    case ScriptToken::Kind::Key:
      return keyEvents(token.text);
    case ScriptToken::Kind::Move:
      return {tokenMouseEvent(token, 0, MOUSE_MOVED)};
    case ScriptToken::Kind::Click:
      return {tokenMouseEvent(token, FROM_LEFT_1ST_BUTTON_PRESSED, 0),
              tokenMouseEvent(token, 0, 0)};
    case ScriptToken::Kind::Save:
      return {commandEvent(HostEvent::Kind::Save, token.text)};
    case ScriptToken::Kind::Other:
      return {commandEvent(HostEvent::Kind::Other, token.text)};
    case ScriptToken::Kind::Pick:
      break;
  }
  return {};
}

}  // namespace orbis::console
