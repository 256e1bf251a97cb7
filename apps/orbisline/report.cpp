#include "report.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace orbis::app {

void reportError(const std::string& message) {
  std::fprintf(stderr, "orbisline: %s\n", message.c_str());
}

int reportOutputFailure(int error) {
  if (error != EPIPE)
    reportError(std::string("cannot write to standard output: ") + std::strerror(error));
  return 1;
}

}  // namespace orbis::app
