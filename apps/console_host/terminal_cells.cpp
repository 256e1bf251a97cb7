#include "console_host/terminal_cells.h"

namespace orbis::console {

namespace {

constexpr uint32_t ControlPictures = 0x2400;
constexpr uint32_t DeletePicture = 0x2421;
constexpr uint32_t Replacement = 0xFFFD;

}  // namespace

uint32_t shownCharacter(unsigned char byte, int32_t codePoint) {
  if (byte < 0x20) return ControlPictures + byte;
  if (byte == 0x7F) return DeletePicture;
  bool unusable = codePoint < 0 || isControl(static_cast<uint32_t>(codePoint)) ||
                  (codePoint >= 0xD800 && codePoint < 0xE000) || codePoint > 0xFFFF;
  return unusable ? Replacement : static_cast<uint32_t>(codePoint);
}

bool isControl(uint32_t codePoint) {
  return codePoint < 0x20 || (codePoint >= 0x7F && codePoint < 0xA0);
}

int terminalColor(int console) {
  return ((console & 1) << 2) | (console & 2) | ((console & 4) >> 2) | (console & 8);
}

}  // namespace orbis::console
