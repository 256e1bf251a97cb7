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

// Not the page's fault, so the page is not named: the directory or the
// temporary file is, with the system's reason.
std::string temporaryFailure(const Document& document) {
  std::string reason =
      document.temporaryError != 0 ? std::strerror(document.temporaryError) : "unknown error";
  if (document.temporaryPath.empty()) {
    return "cannot create a temporary file in " + platform::tempFileDirectory() + ": " + reason;
  }
  return "cannot write the temporary file " + document.temporaryPath + ": " + reason;
}

std::string openFailure(const std::string& path) {
  std::string reason = platform::describeOpenFailure(path.c_str());
  return reason.empty() ? std::string("the file is empty") : reason;
}

}  // namespace

std::string describeRefusal(const Document& document, const std::string& file) {
  std::string reason;
  switch (document.loadFailure) {
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
      reason = "the extension " + extensionOf(document.sourcePath) + " is not accepted (" +
               acceptedExtensionList() + ")";
      break;
    case LoadFailure::CannotOpen:
      reason = openFailure(document.sourcePath);
      break;
    case LoadFailure::CannotWrite:
      return temporaryFailure(document);
  }
  return file + ": " + reason;
}

}  // namespace orbis::app
