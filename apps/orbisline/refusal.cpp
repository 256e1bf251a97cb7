#include "refusal.h"

#include <string_view>

#include "config/settings.h"
#include "platform/text_file.h"

namespace orbis::app {

namespace {

// The words of exts as the user would type them after the dot. An empty
// word (two blanks in a row) accepts a name that ends in a dot.
std::string acceptedExtensions() {
  std::string_view exts = settings != nullptr ? std::string_view(settings->exts) : "";
  std::string list;
  std::size_t blank = exts.find(' ');
  while (blank != std::string_view::npos) {
    if (!list.empty()) list += ", ";
    list += '.';
    list += exts.substr(0, blank);
    exts.remove_prefix(blank + 1);
    blank = exts.find(' ');
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
      reason = "the name has no extension (" + acceptedExtensions() + ")";
      break;
    case LoadFailure::ExtensionNotAccepted:
      reason = "the extension " + extensionOf(document.sourcePath) + " is not accepted (" +
               acceptedExtensions() + ")";
      break;
    case LoadFailure::CannotOpen:
      reason = openFailure(document.sourcePath);
      break;
    case LoadFailure::CannotWrite:
      reason = "the temporary file could not be written";
      break;
  }
  return file + ": " + reason;
}

}  // namespace orbis::app
