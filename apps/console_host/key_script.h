// The key script of the headless host: tokens separated by blanks, played
// in order in the editors that open.
//
//   Up Down Left Right PgUp PgDn Home End Enter BS Tab Esc Ins Del F1..F12
//   Space, or one printable character     a key: pressed, then released
//   Ctrl+ Alt+ Shift+ before a key        held with it (combinable)
//   move:COL,ROW                          the mouse moves there, no button
//   click:COL,ROW                         the left button goes down there, then up
//   pick:N                                the answer to the next menu or box
//   save                                  the editor's save command
//   other                                 input from an editor not the plug-in's
//
// Keys carry the console's virtual-key code, control-key state and
// character as a US keyboard gives them: a letter is its upper-case code
// whatever its case (a capital has Shift), a digit its own code,
// punctuation the code of its key with Shift where the layout needs it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "console_host/front_end.h"
#include "host/far_api.h"

namespace orbis::console {

struct ScriptToken {
  enum class Kind { Key, Move, Click, Pick, Save, Other };
  Kind kind = Kind::Key;
  std::string text;       // as written
  INPUT_RECORD record{};  // Key: the key-down; Move, Click: the position
  int pick = 0;
};

// Splits script into tokens. False on the first token that is none of the
// above, which is stored in unknown.
bool parseKeyScript(std::string_view script, std::vector<ScriptToken>& tokens,
                    std::string& unknown);

// The key-down record of a key name as the script writes it ("Enter",
// "Ctrl+Home", "x"); false for no known key.
bool keyDownRecord(std::string_view name, INPUT_RECORD& record);

// A key's press and release, with the records keyDownRecord makes for
// name; none for a name that is no key.
std::vector<HostEvent> keyEvents(std::string_view name);

// A mouse event at a console cell with the given button state and event
// flags (a move is MOUSE_MOVED with no button; a press and a release have
// no flags).
HostEvent mouseEvent(std::string name, COORD cell, uint32_t buttons, uint32_t flags);

// The events one token stands for, in order: a key's press and release, a
// move, a click's press and release, a save or the other editor's input.
// None for pick:N, which only answers boxes.
std::vector<HostEvent> tokenEvents(const ScriptToken& token);

}  // namespace orbis::console
