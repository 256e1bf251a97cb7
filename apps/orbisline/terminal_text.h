// Rendered text on its way to a terminal, or to a file or pipe that may be
// shown on one later. Nothing from a page may reach a terminal as a control
// sequence: the only control byte ever written is the line feed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/codepage.h"

namespace orbis::app {

// Re-encodes the bytes of one single-byte code page as UTF-8 for a
// terminal, through a table made once for the page: line feeds stay; the
// other C0 controls and DEL become their control pictures (U+2400 + byte,
// U+2421); bytes the page leaves undefined or maps to C1 controls become
// U+FFFD; every other byte is its character in the page. Text is mostly
// ASCII that the page spells as itself, so such runs are copied whole.
class TerminalEncoder {
public:
  explicit TerminalEncoder(const platform::ByteMeanings& meanings);

  void append(std::string& out, std::string_view text) const;

private:
  static constexpr std::size_t MaxShownBytes = 3;
  struct Shown {
    char bytes[MaxShownBytes];
    uint8_t length;
  };

  std::array<Shown, 256> shown_{};
  std::array<bool, 256> copied_{};  // the byte is its own UTF-8
};

// Appends text, in the process's document code page, as TerminalEncoder
// writes it.
void appendForTerminal(std::string& out, std::string_view text);

// Appends text in the code page's own bytes, for output whose character set
// is not UTF-8: line feeds stay; the other C0 controls, DEL and every byte
// from 0x80 to 0x9F (which 8-bit terminals take as C1 controls) become "?".
void appendWithoutControls(std::string& out, std::string_view text);

// How --dump writes rendered text. Raw is for scripts; the others write no
// control byte but the line feed.
enum class DumpStyle {
  Raw,       // the bytes unchanged
  Utf8,      // appendForTerminal
  EightBit,  // appendWithoutControls
};

// The style that is safe for standard output: Utf8 to a terminal, whatever
// the locale says, or when the locale's character set is UTF-8; else
// EightBit.
DumpStyle safeDumpStyle();

// Appends text as style writes it.
void appendShown(std::string& out, std::string_view text, DumpStyle style);

}  // namespace orbis::app
