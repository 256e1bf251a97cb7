#include "terminal_text.h"

#include <cstdint>

#include "platform/codepage.h"
#include "platform/process.h"

namespace orbis::app {

namespace {

constexpr uint32_t ControlPictures = 0x2400;
constexpr uint32_t DeletePicture = 0x2421;
constexpr uint32_t Replacement = 0xFFFD;

void appendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

uint32_t shownCharacter(unsigned char byte) {
  if (byte < 0x20) return ControlPictures + byte;
  if (byte == 0x7F) return DeletePicture;
  if (byte < 0x80) return byte;
  int32_t unit = platform::ansiByteToUnit(byte);
  bool control = unit < 0xA0 || (unit >= 0xD800 && unit < 0xE000);
  return control ? Replacement : static_cast<uint32_t>(unit);
}

}  // namespace

void appendForTerminal(std::string& out, std::string_view text) {
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte == '\n') {
      out += '\n';
    } else {
      appendUtf8(out, shownCharacter(byte));
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
