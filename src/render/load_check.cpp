// The checks before a load reads anything: the name, its extension against
// the settings' list, and a file that can be read and is not empty.
#include "render/load_check.h"

#include <string_view>
#include <vector>

#include "config/settings.h"
#include "markup/lower_string.h"
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

LoadFailure checkExtension(const std::string& name) {
  std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return LoadFailure::NoExtension;
  std::string_view extension = std::string_view(name).substr(dot + 1);
  for (std::string_view word : acceptedExtensions()) {
    if (equalsIgnoringCase(word, extension)) return LoadFailure::None;
  }
  return LoadFailure::ExtensionNotAccepted;
}

}  // namespace

std::vector<std::string_view> acceptedExtensions() {
  std::string_view exts = settings->exts;
  std::vector<std::string_view> words;
  for (std::size_t blank = exts.find(' '); blank != std::string_view::npos;
       blank = exts.find(' ')) {
    words.push_back(exts.substr(0, blank));
    exts.remove_prefix(blank + 1);
  }
  return words;
}

LoadFailure checkLoadable(const char* name, std::string& path) {
  if (name == nullptr) return LoadFailure::NoName;
  path = trimName(name);
  LoadFailure failure = checkExtension(path);
  if (failure != LoadFailure::None) return failure;
  return platform::describeOpenFailure(path.c_str()).empty() ? LoadFailure::None
                                                             : LoadFailure::CannotOpen;
}

}  // namespace orbis
