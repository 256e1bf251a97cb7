#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/standard_input.h"

namespace orbis::platform {

namespace {

constexpr std::size_t BlockSize = 1 << 16;

}  // namespace

bool copyStandardInput(std::FILE* out, int64_t& copied, std::string& error) {
  copied = 0;
  std::vector<char> block(BlockSize);
  while (true) {
    int64_t got = readStandardInput(block.data(), block.size());
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
