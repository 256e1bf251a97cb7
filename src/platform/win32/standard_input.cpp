// Standard input as bytes: the C runtime would otherwise turn CR LF into LF
// and stop at the first 0x1A, which the page's own reading does later.
#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/standard_input.h"

namespace orbis::platform {

namespace {

constexpr unsigned BlockSize = 1 << 16;
constexpr int StandardInput = 0;

}  // namespace

bool copyStandardInput(std::FILE* out, int64_t& copied, std::string& error) {
  copied = 0;
  _setmode(StandardInput, _O_BINARY);
  std::vector<char> block(BlockSize);
  while (true) {
    int got = _read(StandardInput, block.data(), BlockSize);
    if (got < 0) {
      error = std::string("cannot read standard input: ") + std::strerror(errno);
      return false;
    }
    if (got == 0) break;
    if (std::fwrite(block.data(), 1, static_cast<std::size_t>(got), out) !=
        static_cast<std::size_t>(got)) {
      error = std::string("cannot write the page from standard input: ") + std::strerror(errno);
      return false;
    }
    copied += got;
  }
  if (std::fflush(out) != 0) {
    error = std::string("cannot write the page from standard input: ") + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace orbis::platform
