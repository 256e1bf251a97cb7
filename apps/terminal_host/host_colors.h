// The colours of what the terminal host draws itself: the editor, its
// status line and key bar, menus, message boxes and the help box. They are
// entries of the host palette (the registry's CurrentPalette, else the
// built-in one), so a user who changes the palette changes them all.
#pragma once

#include <cstdint>

namespace orbis {
class Palette;
}

namespace orbis::terminal {

// A framed box: its text, the hot letters in it, its frame and title, and
// its buttons or items (the chosen one apart).
struct BoxColors {
  uint8_t text = 0x70;
  uint8_t highlight = 0x7E;
  uint8_t frame = 0x70;
  uint8_t title = 0x70;
  uint8_t button = 0x70;
  uint8_t chosenButton = 0x30;
  uint8_t buttonHighlight = 0x7E;
  uint8_t chosenButtonHighlight = 0x3E;
};

struct HostColors {
  uint8_t editor = 0x1B;
  uint8_t status = 0x30;
  uint8_t keyNumber = 0x07;
  uint8_t keyLabel = 0x30;
  uint8_t keyBar = 0x07;
  BoxColors menu;
  BoxColors dialog;
  BoxColors warning;
  BoxColors help;
};

HostColors hostColors(const Palette& palette);

}  // namespace orbis::terminal
