#include "console_host/text_output.h"

#include <cerrno>

namespace orbis::console {

namespace {

constexpr std::size_t BlockSize = 1 << 16;
constexpr char HexDigits[] = "0123456789ABCDEF";

// The reason of a failed write, never 0.
int lastError() { return errno != 0 ? errno : EIO; }

}  // namespace

void appendEscaped(std::string& out, std::string_view text) {
  out.reserve(out.size() + text.size());
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    switch (byte) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
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

void OutputBuffer::write() {
  if (std::fwrite(pending_.data(), 1, pending_.size(), stream_) != pending_.size() && error_ == 0) {
    error_ = lastError();
  }
  pending_.clear();
}

void OutputBuffer::endLine() {
  pending_ += '\n';
  endBlock();
}

void OutputBuffer::endBlock() {
  if (pending_.size() >= BlockSize) write();
}

bool OutputBuffer::flush() {
  if (!pending_.empty()) write();
  if (std::fflush(stream_) != 0 && error_ == 0) error_ = lastError();
  return error_ == 0;
}

}  // namespace orbis::console
