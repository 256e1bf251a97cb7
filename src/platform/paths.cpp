#include "platform/paths.h"

namespace orbis::platform {

std::string directoryOf(std::string_view path) {
  std::size_t separator = path.find_last_of("/\\");
  return separator == std::string_view::npos ? std::string()
                                             : std::string(path.substr(0, separator + 1));
}

}  // namespace orbis::platform
