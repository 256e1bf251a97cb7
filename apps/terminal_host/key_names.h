// The keys a terminal reports, by the names the key script gives them
// ("Up", "Ctrl+Home", "Shift+F7", "x"), so that a key from the terminal
// becomes the same console input record as the same key in a script.
//
// ncurses reports a key either as a character or as a key code. The codes
// of the standard keys are fixed; those of keys with modifiers (Ctrl+Home)
// come from the terminal's description under extended names such as
// "kHOM5", where the digit is the modifier number that terminals send:
// 1 + Shift (1) + Alt (2) + Ctrl (4).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orbis::terminal {

// The name of a key code of ncurses (KEY_UP, KEY_F(19)...), empty for a
// code that is no key of the script.
std::string keyCodeName(int code);

// The name of a character the keyboard sent, alone or after Escape (alt):
// Tab, Enter, BS, Space, Ctrl+letter, a printable ASCII character; empty
// for anything else.
std::string characterName(char32_t character, bool alt);

// A key that terminals report with modifiers: its extended name in the
// terminal's description and its key-script name.
struct ModifiedKey {
  std::string capability;  // "kHOM5"
  std::string name;        // "Ctrl+Home"
};

// Every such key the host knows: the movement and editing keys with each
// combination of Shift, Alt and Ctrl.
std::vector<ModifiedKey> modifiedKeys();

}  // namespace orbis::terminal
