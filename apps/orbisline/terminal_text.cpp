#include "terminal_text.h"

#include <cstdint>

#include "console_host/terminal_cells.h"
#include "platform/codepage.h"
#include "platform/process.h"

namespace orbis::app {

void appendForTerminal(std::string& out, std::string_view text) {
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte == '\n') {
      out += '\n';
    } else {
      platform::appendUtf8(out, console::shownCharacter(byte, platform::ansiByteToUnit(byte)));
    }
  }
}

void appendWithoutControls(std::string& out, std::string_view text) {
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    bool control = (byte < 0x20 && byte != '\n') || (byte >= 0x7F && byte < 0xA0);
    out += control ? '?' : c;
  }
}

DumpStyle safeDumpStyle() {
  bool utf8 = platform::isTerminal(platform::StandardStream::Output) || platform::localeIsUtf8();
  return utf8 ? DumpStyle::Utf8 : DumpStyle::EightBit;
}

void appendShown(std::string& out, std::string_view text, DumpStyle style) {
  switch (style) {
    case DumpStyle::Raw:
      out.append(text);
      break;
    case DumpStyle::Utf8:
      appendForTerminal(out, text);
      break;
    case DumpStyle::EightBit:
      appendWithoutControls(out, text);
      break;
  }
}

}  // namespace orbis::app
