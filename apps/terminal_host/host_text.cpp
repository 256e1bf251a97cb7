#include "terminal_host/host_text.h"

#include <array>

#include "console_host/terminal_cells.h"
#include "platform/codepage.h"

namespace orbis::terminal {

namespace {

using CharacterTable = std::array<char32_t, 256>;

CharacterTable shownCharacters(int32_t (*codePointOf)(unsigned char)) {
  CharacterTable table{};
  for (int byte = 0; byte < 256; ++byte) {
    unsigned char value = static_cast<unsigned char>(byte);
    table[value] = console::shownCharacter(value, codePointOf(value));
  }
  return table;
}

const CharacterTable& documentCharacters() {
  static const CharacterTable table = shownCharacters(platform::ansiByteToUnit);
  return table;
}

const CharacterTable& hostCharacters() {
  static const CharacterTable table = shownCharacters(platform::oemByteToUnit);
  return table;
}

constexpr char32_t Replacement = 0xFFFD;

}  // namespace

char32_t documentCharacter(unsigned char byte) { return documentCharacters()[byte]; }

std::u32string documentText(std::string_view bytes) {
  std::u32string text;
  text.reserve(bytes.size());
  for (char c : bytes) text += documentCharacter(static_cast<unsigned char>(c));
  return text;
}

std::u32string hostText(std::string_view bytes) {
  const CharacterTable& table = hostCharacters();
  std::u32string text;
  text.reserve(bytes.size());
  for (char c : bytes) text += table[static_cast<unsigned char>(c)];
  return text;
}

std::string windowTitle(std::string_view bytes, bool utf8, std::size_t limit) {
  std::string title;
  for (char c : bytes) {
    unsigned char byte = static_cast<unsigned char>(c);
    int32_t codePoint = platform::ansiByteToUnit(byte);
    // Controls of either kind, and bytes the page has no character for,
    // are left out rather than shown.
    char32_t shown = console::shownCharacter(byte, codePoint);
    if (shown == Replacement || static_cast<int32_t>(shown) != codePoint) continue;
    std::string piece;
    if (utf8) {
      platform::appendUtf8(piece, shown);
    } else {
      piece = shown < 0x80 ? static_cast<char>(shown) : '?';
    }
    if (title.size() + piece.size() > limit) break;
    title += piece;
  }
  return title;
}

char32_t asciiStandIn(char32_t character) {
  if (character < 0x80) return character;
  if (character >= 0x2500 && character < 0x2580) {
    // Box drawing: horizontal lines, vertical lines, and the rest are joins.
    bool horizontal = character == 0x2500 || character == 0x2550 || character == 0x2501;
    bool vertical = character == 0x2502 || character == 0x2551 || character == 0x2503;
    return horizontal ? U'-' : vertical ? U'|' : U'+';
  }
  if (character >= 0x2580 && character < 0x25A0) return U'#';
  return U'?';
}

}  // namespace orbis::terminal
