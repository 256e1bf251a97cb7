// Whether a file can be read as a page, and why not, on top of TextFile.
#include <cerrno>

#include "platform/text_file.h"

namespace orbis::platform {

OpenCheck checkOpenable(const char* path) {
  TextFile file;
  if (file.open(path)) {
    if (file.length() == 0) return {OpenProblem::Empty, "is empty", 0};
    return {};
  }
  int error = file.lastErrorNumber();
  OpenProblem problem = error == 0        ? OpenProblem::NotRegular
                        : error == ENOENT ? OpenProblem::Missing
                                          : OpenProblem::Other;
  return {problem, file.lastError(), error};
}

std::string describeOpenFailure(const char* path) { return checkOpenable(path).reason; }

}  // namespace orbis::platform
