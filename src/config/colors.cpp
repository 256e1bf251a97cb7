// Colour readers and the host palette. Pages give 24-bit RGB colours; the
// console has sixteen, so each component is cut at half strength for its
// colour bit, and any component well above half makes the colour bright.
#include "config/colors.h"

#include <algorithm>
#include <string>

#include "markup/node.h"
#include "markup/number.h"
#include "platform/registry.h"

namespace orbis {
namespace {

constexpr const char* PaletteKey = "HKEY_CURRENT_USER\\Software\\Far\\Colors";
constexpr const char* PaletteValue = "CurrentPalette";

constexpr uint32_t HalfStrength = 0x80;
constexpr uint32_t BrightThreshold = 0x90;

}  // namespace

const uint8_t Palette::builtInTable[PaletteSize] = {
    0x3F, 0x0F, 0x3E, 0x0E, 0x3F, 0x3F, 0x30, 0x0F, 0x3E, 0x0E, 0x1B, 0x1E, 0x17, 0x1E, 0x30, 0x3E,
    0x1B, 0x30, 0x1E, 0x1B, 0x3E, 0x70, 0x7E, 0x70, 0x70, 0x7E, 0x30, 0x70, 0x30, 0x7E, 0x3E, 0x70,
    0x0F, 0x7E, 0x0E, 0x4F, 0x4E, 0x4F, 0x4F, 0x4E, 0x30, 0x4F, 0x70, 0x4E, 0x7E, 0x07, 0x30, 0x07,
    0x07, 0x30, 0x1B, 0x30, 0x30, 0x1B, 0x30, 0x30, 0x30, 0x3F, 0x3E, 0x0F, 0x30, 0x30, 0x3E, 0x38,
    0x1B, 0x30, 0x1B, 0x0B, 0x0F, 0x70, 0x1E, 0x00, 0x00, 0x00, 0x00, 0x00,
};

int32_t rgbToConsole(uint32_t rgb) {
  if (rgb == 0) return 0;
  uint32_t red = (rgb >> 16) & 0xFF;
  uint32_t green = (rgb >> 8) & 0xFF;
  uint32_t blue = rgb & 0xFF;
  int32_t color = 0;
  if (red >= HalfStrength) color |= 4;
  if (green >= HalfStrength) color |= 2;
  if (blue >= HalfStrength) color |= 1;
  if (std::max({red, green, blue}) >= BrightThreshold) color |= 8;
  // A dark colour that is not black would vanish on a black console.
  return color == 0 ? 8 : color;
}

// The built-in table goes in first, so a registry value shorter than the
// palette keeps the built-in colours for the entries it does not reach.
Palette::Palette() : buffer_(new uint8_t[PaletteSize]) {
  std::copy(builtInTable, builtInTable + PaletteSize, buffer_);
  uint32_t size = PaletteSize;
  platform::readRegistryValue(PaletteKey, PaletteValue, buffer_, size);
}

Palette::~Palette() { delete[] buffer_; }

ColorPair Palette::colorsAt(int index) const {
  if (index < 0 || index >= PaletteSize) return ColorPair{};
  return ColorPair{buffer_[index] >> 4, buffer_[index] & 15};
}

std::string resolveNamedValue(const NamedValues& values, const std::string& text) {
  auto found = values.find(LowerString(text));
  return found == values.end() ? text : found->second;
}

bool getColorAttribute(const ElementNode& element, const char* name, const NamedValues* named,
                       uint32_t& out) {
  std::string text;
  if (!element.getAttribute(name, text)) return false;
  if (named != nullptr) text = resolveNamedValue(*named, text);
  return parseNumber(text, true, out);
}

bool getNumberAttribute(const ElementNode& element, const char* name, uint32_t& out) {
  std::string text;
  if (!element.getAttribute(name, text)) return false;
  return parseNumber(text, false, out);
}

}  // namespace orbis
