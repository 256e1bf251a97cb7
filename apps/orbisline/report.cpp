#include "report.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "markup/utf8_sequence.h"
#include "platform/codepage.h"
#include "platform/process.h"

namespace orbis::app {

namespace {

constexpr char32_t Replacement = 0xFFFD;

char32_t shownCodePoint(char32_t codePoint) {
  if (codePoint < 0x20) return 0x2400 + codePoint;  // the control pictures
  if (codePoint == 0x7F) return 0x2421;
  if (codePoint >= 0x80 && codePoint < 0xA0) return Replacement;
  return codePoint;
}

bool stderrTakesUtf8() {
  return platform::isTerminal(platform::StandardStream::Error) || platform::localeIsUtf8();
}

}  // namespace

std::string shownMessage(std::string_view message, bool utf8) {
  std::string shown;
  shown.reserve(message.size());
  const auto* bytes = reinterpret_cast<const unsigned char*>(message.data());
  for (std::size_t i = 0; i < message.size();) {
    if (!utf8) {
      unsigned char byte = bytes[i++];
      bool control = byte < 0x20 || (byte >= 0x7F && byte < 0xA0);
      shown += control ? '?' : static_cast<char>(byte);
      continue;
    }
    Utf8Sequence sequence = readUtf8Sequence(bytes + i, message.size() - i);
    std::size_t length =
        sequence.length > 0 ? static_cast<std::size_t>(sequence.length) : message.size() - i;
    char32_t codePoint = sequence.valid ? shownCodePoint(sequence.codePoint) : Replacement;
    if (sequence.valid && codePoint == sequence.codePoint) {
      shown.append(message.substr(i, length));  // as written, whatever its length
    } else {
      platform::appendUtf8(shown, codePoint);
    }
    i += length;
  }
  return shown;
}

void reportError(const std::string& message) {
  std::fprintf(stderr, "orbisline: %s\n", shownMessage(message, stderrTakesUtf8()).c_str());
}

int reportOutputFailure(int error) {
  if (error != EPIPE)
    reportError(std::string("cannot write to standard output: ") + std::strerror(error));
  return 1;
}

}  // namespace orbis::app
