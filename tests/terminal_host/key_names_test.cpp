// Keys from the terminal become the same console input records as the same
// keys in a key script: each ncurses code or character gets a script name,
// and the script's own rules make the record from it.
#include "terminal_host/key_names.h"

#include <curses.h>
#include <gtest/gtest.h>

#include "console_host/key_script.h"

namespace orbis::terminal {
namespace {

struct Expected {
  std::string name;
  uint16_t virtualKey;
  uint32_t state;
  char character;
};

void expectRecord(const std::string& name, const Expected& expected) {
  SCOPED_TRACE(name);
  EXPECT_EQ(name, expected.name);
  std::vector<console::HostEvent> events = console::keyEvents(name);
  ASSERT_EQ(events.size(), 2u);
  const KEY_EVENT_RECORD& down = events[0].record.Event.KeyEvent;
  EXPECT_EQ(events[0].record.EventType, KEY_EVENT);
  EXPECT_EQ(down.bKeyDown, 1);
  EXPECT_EQ(down.wVirtualKeyCode, expected.virtualKey);
  EXPECT_EQ(down.dwControlKeyState, expected.state);
  EXPECT_EQ(down.uChar.AsciiChar, expected.character);
  EXPECT_EQ(events[1].record.Event.KeyEvent.bKeyDown, 0);
  EXPECT_EQ(events[1].record.Event.KeyEvent.wVirtualKeyCode, expected.virtualKey);
}

TEST(KeyNamesTest, KeyCodesBecomeTheScriptsKeys) {
  const std::pair<int, Expected> cases[] = {
      {KEY_UP, {"Up", VK_UP, 0, 0}},
      {KEY_NPAGE, {"PgDn", VK_NEXT, 0, 0}},
      {KEY_HOME, {"Home", VK_HOME, 0, 0}},
      {KEY_BACKSPACE, {"BS", VK_BACK, 0, 8}},
      {KEY_ENTER, {"Enter", VK_RETURN, 0, '\r'}},
      {KEY_DC, {"Del", VK_DELETE, 0, 0}},
      {KEY_BTAB, {"Shift+Tab", VK_TAB, SHIFT_PRESSED, 9}},
      {KEY_SR, {"Shift+Up", VK_UP, SHIFT_PRESSED, 0}},
      {KEY_F(1), {"F1", VK_F1, 0, 0}},
      {KEY_F(7), {"F7", VK_F7, 0, 0}},
      {KEY_F(12), {"F12", VK_F12, 0, 0}},
      {KEY_F(19), {"Shift+F7", VK_F7, SHIFT_PRESSED, 0}},
      {KEY_F(34), {"Ctrl+F10", VK_F10, LEFT_CTRL_PRESSED, 0}},
      {KEY_F(47), {"Ctrl+Shift+F11", VK_F11, LEFT_CTRL_PRESSED | SHIFT_PRESSED, 0}},
      {KEY_F(52), {"Alt+F4", VK_F4, LEFT_ALT_PRESSED, 0}},
      {KEY_F(63), {"Alt+Shift+F3", VK_F3, LEFT_ALT_PRESSED | SHIFT_PRESSED, 0}},
  };
  for (const auto& [code, expected] : cases) expectRecord(keyCodeName(code), expected);
  for (int unknown : {KEY_MOUSE, KEY_RESIZE, KEY_F(64), KEY_DL, KEY_B2, 0}) {
    EXPECT_EQ(keyCodeName(unknown), "") << unknown;
  }
}

TEST(KeyNamesTest, CharactersBecomeTheScriptsKeys) {
  const std::tuple<char32_t, bool, Expected> cases[] = {
      {U'a', false, {"a", 'A', 0, 'a'}},
      {U'Q', false, {"Q", 'Q', SHIFT_PRESSED, 'Q'}},
      {U'7', false, {"7", '7', 0, '7'}},
      {U'!', false, {"!", '1', SHIFT_PRESSED, '!'}},
      {U':', false, {":", VK_OEM_1, SHIFT_PRESSED, ':'}},
      {U' ', false, {"Space", VK_SPACE, 0, ' '}},
      {U'\t', false, {"Tab", VK_TAB, 0, 9}},
      {U'\r', false, {"Enter", VK_RETURN, 0, '\r'}},
      {U'\n', false, {"Enter", VK_RETURN, 0, '\r'}},
      // Backspace as terminals send it, DEL or ^H.
      {0x7F, false, {"BS", VK_BACK, 0, 8}},
      {0x08, false, {"BS", VK_BACK, 0, 8}},
      {0x01, false, {"Ctrl+a", 'A', LEFT_CTRL_PRESSED, 0x01}},
      {0x1A, false, {"Ctrl+z", 'Z', LEFT_CTRL_PRESSED, 0x1A}},
      {0x1D, false, {"Ctrl+]", VK_OEM_6, LEFT_CTRL_PRESSED, ']'}},
      {0x00, false, {"Ctrl+Space", VK_SPACE, LEFT_CTRL_PRESSED, ' '}},
      // After Escape: Alt with the key.
      {U'x', true, {"Alt+x", 'X', LEFT_ALT_PRESSED, 'x'}},
      {U'\r', true, {"Alt+Enter", VK_RETURN, LEFT_ALT_PRESSED, '\r'}},
  };
  for (const auto& [character, alt, expected] : cases) {
    expectRecord(characterName(character, alt), expected);
  }
  // No script key: an Escape alone (the host's), and characters beyond ASCII.
  for (char32_t none : {char32_t{0x1B}, char32_t{0xE9}, char32_t{0x20AC}}) {
    EXPECT_EQ(characterName(none, false), "") << static_cast<uint32_t>(none);
  }
}

// The keys with modifiers that terminals describe under extended names:
// every one has a name the key script knows, with the modifiers the
// terminals' number stands for.
TEST(KeyNamesTest, ModifiedKeysFollowTheTerminalsNumbering) {
  std::vector<ModifiedKey> keys = modifiedKeys();
  EXPECT_EQ(keys.size(), 70u);
  for (const ModifiedKey& key : keys) {
    INPUT_RECORD record{};
    EXPECT_TRUE(console::keyDownRecord(key.name, record)) << key.name;
    int modifier = key.capability.back() - '1';
    uint32_t state = record.Event.KeyEvent.dwControlKeyState;
    EXPECT_EQ((state & SHIFT_PRESSED) != 0, (modifier & 1) != 0) << key.capability;
    EXPECT_EQ((state & LEFT_ALT_PRESSED) != 0, (modifier & 2) != 0) << key.capability;
    EXPECT_EQ((state & LEFT_CTRL_PRESSED) != 0, (modifier & 4) != 0) << key.capability;
  }
  auto named = [&](const std::string& capability) {
    for (const ModifiedKey& key : keys) {
      if (key.capability == capability) return key.name;
    }
    return std::string();
  };
  EXPECT_EQ(named("kHOM5"), "Ctrl+Home");
  EXPECT_EQ(named("kEND5"), "Ctrl+End");
  EXPECT_EQ(named("kNXT2"), "Shift+PgDn");
  EXPECT_EQ(named("kUP7"), "Ctrl+Alt+Up");
}

}  // namespace
}  // namespace orbis::terminal
