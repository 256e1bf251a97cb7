#include "refusal.h"

#include <cstring>
#include <string_view>

#include "platform/temp_file.h"
#include "platform/text_file.h"

namespace orbis::app {

namespace {

// The words of exts as the user would type them after the dot. An empty
// word (two blanks in a row) accepts a name that ends in a dot.
std::string acceptedExtensionList() {
  std::string list;
  for (std::string_view word : acceptedExtensions()) {
    if (!list.empty()) list += ", ";
    list += '.';
    list += word;
  }
  return list.empty() ? std::string("none is accepted") : "accepted: " + list;
}

std::string extensionOf(const std::string& path) {
  std::size_t dot = path.rfind('.');
  return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string openFailure(const std::string& path) {
  std::string reason = platform::describeOpenFailure(path.c_str());
  return reason.empty() ? std::string("the file is empty") : reason;
}

}  // namespace

std::string describeTemporaryFailure(const std::string& temporaryPath, int error) {
  std::string reason = error != 0 ? std::strerror(error) : "unknown error";
  if (temporaryPath.empty()) {
    return "cannot create a temporary file in " + platform::tempFileDirectory() + ": " + reason;
  }
  return "cannot write the temporary file " + temporaryPath + ": " + reason;
}

std::string describeRefusal(LoadFailure failure, const std::string& path, const std::string& file) {
  std::string reason;
  switch (failure) {
    case LoadFailure::None:
      reason = "not loaded";
      break;
    case LoadFailure::NoName:
      reason = "no file name";
      break;
    case LoadFailure::NoExtension:
      reason = "the name has no extension (" + acceptedExtensionList() + ")";
      break;
    case LoadFailure::ExtensionNotAccepted:
      reason = "the extension " + extensionOf(path) + " is not accepted (" +
               acceptedExtensionList() + ")";
      break;
    case LoadFailure::CannotOpen:
      reason = openFailure(path);
      break;
    case LoadFailure::CannotWrite:
      reason = "the temporary file could not be written";
      break;
    case LoadFailure::OutOfMemory:
      reason = "there is not enough memory to render it";
      break;
  }
  return file + ": " + reason;
}

}  // namespace orbis::app
