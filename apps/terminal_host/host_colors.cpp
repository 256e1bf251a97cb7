#include "terminal_host/host_colors.h"

#include "config/colors.h"

namespace orbis::terminal {

namespace {

// Entries of the host palette.
enum Entry {
  MenuText = 0,
  MenuChosenText = 1,
  MenuHighlight = 2,
  MenuChosenHighlight = 3,
  MenuFrame = 4,
  MenuTitle = 5,
  DialogText = 21,
  DialogHighlight = 22,
  DialogFrame = 23,
  DialogTitle = 24,
  DialogButton = 27,
  DialogChosenButton = 28,
  DialogButtonHighlight = 29,
  DialogChosenButtonHighlight = 30,
  WarningText = 35,
  WarningHighlight = 36,
  WarningFrame = 37,
  WarningTitle = 38,
  WarningButton = 41,
  WarningChosenButton = 42,
  WarningButtonHighlight = 43,
  WarningChosenButtonHighlight = 44,
  KeyBarNumber = 45,
  KeyBarLabel = 46,
  KeyBarBackground = 47,
  EditorStatus = 55,
  HelpText = 56,
  HelpHighlight = 57,
  HelpFrame = 60,
  HelpTitle = 61,
};

uint8_t entry(const Palette& palette, int index) { return toColorAttr(palette.colorsAt(index)); }

BoxColors boxColors(const Palette& palette, std::initializer_list<int> entries) {
  const int* at = entries.begin();
  BoxColors colors;
  colors.text = entry(palette, at[0]);
  colors.highlight = entry(palette, at[1]);
  colors.frame = entry(palette, at[2]);
  colors.title = entry(palette, at[3]);
  colors.button = entry(palette, at[4]);
  colors.chosenButton = entry(palette, at[5]);
  colors.buttonHighlight = entry(palette, at[6]);
  colors.chosenButtonHighlight = entry(palette, at[7]);
  return colors;
}

}  // namespace

HostColors hostColors(const Palette& palette) {
  HostColors colors;
  colors.editor = entry(palette, EditorTextEntry);
  colors.status = entry(palette, EditorStatus);
  colors.keyNumber = entry(palette, KeyBarNumber);
  colors.keyLabel = entry(palette, KeyBarLabel);
  colors.keyBar = entry(palette, KeyBarBackground);
  // A menu's items are its buttons.
  colors.menu = boxColors(palette, {MenuText, MenuHighlight, MenuFrame, MenuTitle, MenuText,
                                    MenuChosenText, MenuHighlight, MenuChosenHighlight});
  colors.dialog =
      boxColors(palette, {DialogText, DialogHighlight, DialogFrame, DialogTitle, DialogButton,
                          DialogChosenButton, DialogButtonHighlight, DialogChosenButtonHighlight});
  colors.warning = boxColors(
      palette, {WarningText, WarningHighlight, WarningFrame, WarningTitle, WarningButton,
                WarningChosenButton, WarningButtonHighlight, WarningChosenButtonHighlight});
  colors.help = boxColors(palette, {HelpText, HelpHighlight, HelpFrame, HelpTitle, HelpText,
                                    HelpText, HelpHighlight, HelpHighlight});
  return colors;
}

}  // namespace orbis::terminal
