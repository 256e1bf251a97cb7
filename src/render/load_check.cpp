// The checks before a load reads anything: the name, its extension against
// the settings' list, and a file that can be read and is not empty. Each
// refusal comes with its line for the user, which names the file as it was
// given, says why and, for extensions, which ones would do.
#include "render/load_check.h"

#include <cstring>

#include "markup/lower_string.h"
#include "platform/shared/temp_file.h"
#include "platform/text_file.h"

namespace orbis {

namespace {

// Blanks (not tabs) come off both ends; a leading double quote goes, and a
// second one cuts the name just before it.
std::string trimName(const char* name) {
  std::string_view text(name);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '"') {
    text.remove_prefix(1);
    std::size_t quote = text.find('"');
    if (quote != std::string_view::npos) text = text.substr(0, quote);
  }
  return std::string(text);
}

// The words of exts as the user would type them after the dot. An empty
// word (two blanks in a row) accepts a name that ends in a dot.
std::string acceptedExtensionList(const Settings& settings) {
  std::string list;
  for (std::string_view word : acceptedExtensions(settings)) {
    if (!list.empty()) list += ", ";
    list += '.';
    list += word;
  }
  return list.empty() ? std::string("none is accepted") : "accepted: " + list;
}

LoadResult refusal(LoadFailure failure, std::string_view name, const std::string& reason) {
  return LoadResult{failure, std::string(name) + ": " + reason};
}

LoadResult checkExtension(std::string_view name, const std::string& path,
                          const Settings& settings) {
  std::size_t dot = path.rfind('.');
  if (dot == std::string::npos) {
    return refusal(LoadFailure::NoExtension, name,
                   "the name has no extension (" + acceptedExtensionList(settings) + ")");
  }
  std::string_view extension = std::string_view(path).substr(dot + 1);
  for (std::string_view word : acceptedExtensions(settings)) {
    if (equalsIgnoringCase(word, extension)) return {};
  }
  return refusal(LoadFailure::ExtensionNotAccepted, name,
                 "the extension " + path.substr(dot) + " is not accepted (" +
                     acceptedExtensionList(settings) + ")");
}

}  // namespace

LoadResult checkFile(std::string_view name, const std::string& path) {
  platform::OpenCheck check = platform::checkOpenable(path.c_str());
  if (check.problem == platform::OpenProblem::None) return {};
  LoadResult result = refusal(LoadFailure::CannotOpen, name, check.reason);
  result.openProblem = check.problem;
  result.error = check.error;
  return result;
}

LoadResult checkLoadable(const char* name, const Settings& settings, std::string& path) {
  if (name == nullptr) return LoadResult{LoadFailure::NoName, "no file name"};
  path = trimName(name);
  LoadResult result = checkExtension(name, path, settings);
  if (!result.loaded()) return result;
  return checkFile(name, path);
}

std::string describeTemporaryFailure(const std::string& temporaryPath, int error) {
  std::string reason = error != 0 ? std::strerror(error) : "unknown error";
  if (temporaryPath.empty()) {
    return "cannot create a temporary file in " + platform::tempFileDirectory() + ": " + reason;
  }
  return "cannot write the temporary file " + temporaryPath + ": " + reason;
}

std::string describeOutOfMemory(std::string_view name) {
  return std::string(name) + ": there is not enough memory to render it";
}

}  // namespace orbis
