#include "console_host/text_output.h"

namespace orbis::console {

namespace {

constexpr std::size_t BlockSize = 1 << 16;
constexpr char HexDigits[] = "0123456789ABCDEF";

}  // namespace

void appendEscaped(std::string& out, std::string_view text) {
  out.reserve(out.size() + text.size());
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    switch (byte) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (byte < 0x20 || byte >= 0x7F) {
          const char escape[] = {'\\', 'x', HexDigits[byte >> 4], HexDigits[byte & 15]};
          out.append(escape, sizeof escape);
        } else {
          out += c;
        }
    }
  }
}

void appendQuoted(std::string& out, std::string_view text) {
  out += '"';
  appendEscaped(out, text);
  out += '"';
}

void OutputBuffer::endLine() {
  pending_ += '\n';
  if (pending_.size() >= BlockSize) {
    if (std::fwrite(pending_.data(), 1, pending_.size(), stream_) != pending_.size()) failed_ = true;
    pending_.clear();
  }
}

bool OutputBuffer::flush() {
  if (!pending_.empty()) {
    if (std::fwrite(pending_.data(), 1, pending_.size(), stream_) != pending_.size()) failed_ = true;
    pending_.clear();
  }
  if (std::fflush(stream_) != 0) failed_ = true;
  return !failed_;
}

}  // namespace orbis::console
