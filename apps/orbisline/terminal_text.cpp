#include "terminal_text.h"

#include <algorithm>
#include <cstring>

#include "console_host/terminal_cells.h"
#include "platform/process.h"

namespace orbis::app {

namespace {

platform::ByteMeanings documentPageMeanings() {
  platform::ByteMeanings meanings{};
  for (int byte = 0; byte < 256; ++byte) {
    meanings[byte] = platform::ansiByteToUnit(static_cast<unsigned char>(byte));
  }
  return meanings;
}

bool isShownAsControl(char c) {
  unsigned char byte = static_cast<unsigned char>(c);
  return (byte < 0x20 && byte != '\n') || (byte >= 0x7F && byte < 0xA0);
}

}  // namespace

TerminalEncoder::TerminalEncoder(const platform::ByteMeanings& meanings) {
  for (int byte = 0; byte < 256; ++byte) {
    unsigned char value = static_cast<unsigned char>(byte);
    std::string utf8;
    if (value == '\n') {
      utf8 = "\n";
    } else {
      platform::appendUtf8(utf8, console::shownCharacter(value, meanings[value]));
    }
    Shown& shown = shown_[value];
    std::copy(utf8.begin(), utf8.end(), shown.bytes);
    shown.length = static_cast<uint8_t>(utf8.size());
    copied_[value] = utf8.size() == 1 && static_cast<unsigned char>(utf8[0]) == value;
  }
}

void TerminalEncoder::append(std::string& out, std::string_view text) const {
  // Room for the longest form of every byte, so that each can be copied in
  // full and the unused rest cut off at the end.
  std::size_t start = out.size();
  out.resize(start + text.size() * MaxShownBytes);
  char* write = out.data() + start;
  const auto* read = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = read + text.size();
  while (read < end) {
    const auto* run = read;
    while (read < end && copied_[*read]) ++read;
    std::memcpy(write, run, static_cast<std::size_t>(read - run));
    write += read - run;
    while (read < end && !copied_[*read]) {
      const Shown& shown = shown_[*read++];
      std::memcpy(write, shown.bytes, MaxShownBytes);
      write += shown.length;
    }
  }
  out.resize(static_cast<std::size_t>(write - out.data()));
}

void appendForTerminal(std::string& out, std::string_view text) {
  static const TerminalEncoder encoder(documentPageMeanings());
  encoder.append(out, text);
}

void appendWithoutControls(std::string& out, std::string_view text) {
  std::size_t start = out.size();
  out.resize(start + text.size());
  std::transform(text.begin(), text.end(), out.begin() + static_cast<std::ptrdiff_t>(start),
                 [](char c) { return isShownAsControl(c) ? '?' : c; });
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
