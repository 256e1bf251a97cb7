#include "platform/standard_input.h"

#include <unistd.h>

#include <cerrno>

namespace orbis::platform {

int64_t readStandardInput(char* buffer, std::size_t size) {
  while (true) {
    ssize_t got = read(STDIN_FILENO, buffer, size);
    if (got >= 0 || errno != EINTR) return got;
  }
}

}  // namespace orbis::platform
