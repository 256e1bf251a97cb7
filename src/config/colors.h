// Colours: the sixteen console colours (bit 0 blue, bit 1 green, bit 2 red,
// bit 3 intensity), pairs of them, the host palette, and the readers that
// turn page and settings colours into console colours.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "markup/lower_string.h"

namespace orbis {

class ElementNode;

struct ColorPair {
  int32_t background = 0;
  int32_t foreground = 7;
  friend bool operator==(const ColorPair&, const ColorPair&) = default;
};

// The byte the editor takes as a colour: background * 16 + foreground.
using ColorAttr = uint8_t;
inline ColorAttr toColorAttr(ColorPair pair) {
  return static_cast<ColorAttr>(((pair.background & 15) << 4) | (pair.foreground & 15));
}

// Maps a 24-bit RGB number (higher bits ignored) to a console colour.
int32_t rgbToConsole(uint32_t rgb);

constexpr int PaletteSize = 76;
constexpr int EditorTextEntry = 53;

// The host's colour attributes: read from the registry value CurrentPalette
// of HKEY_CURRENT_USER\Software\Far\Colors, else a built-in table.
class Palette {
public:
  Palette();
  ~Palette();
  Palette(const Palette&) = delete;
  Palette& operator=(const Palette&) = delete;

  // The pair of entry index (0..PaletteSize-1); (0, 7) outside that range.
  ColorPair colorsAt(int index) const;
  const uint8_t* bytes() const { return buffer_; }
  int size() const { return PaletteSize; }

  static const uint8_t builtInTable[PaletteSize];

private:
  uint8_t* buffer_;
};

// Values the settings define by name ("Navy" stands for "#80"), the names
// compared without regard to letter case.
using NamedValues = std::map<LowerString, std::string>;

// The value defined for text, else text itself.
std::string resolveNamedValue(const NamedValues& values, const std::string& text);

// A colour attribute of a page element as an RGB number: the text, resolved
// through named when given, read with bare six-digit hexadecimal allowed.
// False when absent or no number.
bool getColorAttribute(const ElementNode& element, const char* name, const NamedValues* named,
                       uint32_t& out);

// A plain number attribute: no named values, no bare hexadecimal.
bool getNumberAttribute(const ElementNode& element, const char* name, uint32_t& out);

}  // namespace orbis
