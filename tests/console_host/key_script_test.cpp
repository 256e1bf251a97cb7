#include "console_host/key_script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orbis::console {
namespace {

TEST(KeyScriptTest, KeysCarryTheirUsKeyboardCodes) {
  struct Case {
    const char* token;
    uint16_t code;
    uint32_t state;
    int character;
  };
  const Case cases[] = {
      {"Enter", VK_RETURN, 0, '\r'},
      {"BS", VK_BACK, 0, 8},
      {"Esc", VK_ESCAPE, 0, 27},
      {"Space", VK_SPACE, 0, ' '},
      {"F11", VK_F11, 0, 0},
      {"Del", VK_DELETE, 0, 0},
      {"x", 'X', 0, 'x'},
      {"X", 'X', SHIFT_PRESSED, 'X'},
      {"7", '7', 0, '7'},
      {"!", '1', SHIFT_PRESSED, '!'},
      {":", VK_OEM_1, SHIFT_PRESSED, ':'},
      {"/", VK_OEM_2, 0, '/'},
      {"\"", VK_OEM_7, SHIFT_PRESSED, '"'},
      {"Ctrl+Home", VK_HOME, LEFT_CTRL_PRESSED, 0},
      {"Ctrl+c", 'C', LEFT_CTRL_PRESSED, 3},
      {"Shift+a", 'A', SHIFT_PRESSED, 'A'},
      {"Alt+Shift+F2", VK_F2, LEFT_ALT_PRESSED | SHIFT_PRESSED, 0},
      {"Ctrl++", VK_OEM_PLUS, LEFT_CTRL_PRESSED | SHIFT_PRESSED, '+'},
      {"Ctrl+:", VK_OEM_1, LEFT_CTRL_PRESSED | SHIFT_PRESSED, ':'},
  };
  for (const Case& c : cases) {
    std::vector<ScriptToken> tokens;
    std::string unknown;
    ASSERT_TRUE(parseKeyScript(c.token, tokens, unknown)) << c.token;
    ASSERT_EQ(tokens.size(), 1u);
    std::vector<HostEvent> events = tokenEvents(tokens[0]);
    ASSERT_EQ(events.size(), 2u) << c.token;
    for (const HostEvent& event : events) {
      const KEY_EVENT_RECORD& key = event.record.Event.KeyEvent;
      EXPECT_EQ(event.record.EventType, KEY_EVENT);
      EXPECT_EQ(event.name, c.token);
      EXPECT_EQ(key.wVirtualKeyCode, c.code) << c.token;
      EXPECT_EQ(key.dwControlKeyState, c.state) << c.token;
      EXPECT_EQ(key.uChar.AsciiChar, static_cast<char>(c.character)) << c.token;
      EXPECT_EQ(key.wRepeatCount, 1);
    }
    EXPECT_EQ(events[0].record.Event.KeyEvent.bKeyDown, 1);
    EXPECT_EQ(events[1].record.Event.KeyEvent.bKeyDown, 0);
  }
}

TEST(KeyScriptTest, MouseAndHostTokens) {
  std::vector<ScriptToken> tokens;
  std::string unknown;
  ASSERT_TRUE(parseKeyScript(" move:3,-1\n\tclick:0,7  pick:-1 save other ", tokens, unknown));
  ASSERT_EQ(tokens.size(), 5u);

  std::vector<HostEvent> move = tokenEvents(tokens[0]);
  ASSERT_EQ(move.size(), 1u);
  const MOUSE_EVENT_RECORD& moved = move[0].record.Event.MouseEvent;
  EXPECT_EQ(move[0].record.EventType, MOUSE_EVENT);
  EXPECT_EQ(moved.dwMousePosition.X, 3);
  EXPECT_EQ(moved.dwMousePosition.Y, -1);
  EXPECT_EQ(moved.dwButtonState, 0u);
  EXPECT_EQ(moved.dwEventFlags, static_cast<uint32_t>(MOUSE_MOVED));

  std::vector<HostEvent> click = tokenEvents(tokens[1]);
  ASSERT_EQ(click.size(), 2u);
  EXPECT_EQ(click[0].record.Event.MouseEvent.dwButtonState, 1u);
  EXPECT_EQ(click[0].record.Event.MouseEvent.dwEventFlags, 0u);
  EXPECT_EQ(click[1].record.Event.MouseEvent.dwButtonState, 0u);
  EXPECT_EQ(click[1].record.Event.MouseEvent.dwMousePosition.Y, 7);

  EXPECT_EQ(tokens[2].kind, ScriptToken::Kind::Pick);
  EXPECT_EQ(tokens[2].pick, -1);
  EXPECT_TRUE(tokenEvents(tokens[2]).empty());
  EXPECT_EQ(tokenEvents(tokens[3]).at(0).kind, HostEvent::Kind::Save);
  EXPECT_EQ(tokenEvents(tokens[4]).at(0).kind, HostEvent::Kind::Other);
}

TEST(KeyScriptTest, UnknownTokensAreNamed) {
  for (const char* token : {"Escape", "F13", "Ctrl+", "Shift+Shift", "move:1", "click:a,2",
                            "move:1,99999", "pick:", "pick:x", "\xC3\xA9", "Save"}) {
    std::vector<ScriptToken> tokens;
    std::string unknown;
    EXPECT_FALSE(parseKeyScript(std::string("Up ") + token + " Down", tokens, unknown)) << token;
    EXPECT_EQ(unknown, token);
  }
}

}  // namespace
}  // namespace orbis::console
