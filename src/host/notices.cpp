#include "host/notices.h"

#include <cerrno>
#include <cstring>

#include "host/host_calls.h"
#include "host/plugin_state.h"

namespace orbis::host {

namespace {

// A target as the page has it, for the host's box: converted for the
// console as the window title is, and without the controls that the title
// leaves out, so that nothing in a page acts on the terminal.
std::string shownTarget(std::string_view target) {
  std::string shown(target);
  convertForConsole(shown.data(), static_cast<int>(shown.size()));
  std::string kept;
  kept.reserve(shown.size());
  for (char c : shown) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) kept += c;
  }
  return kept;
}

std::string loadReason(const LoadResult& result) {
  switch (result.failure) {
    case LoadFailure::NoExtension:
    case LoadFailure::ExtensionNotAccepted:
      return "not an accepted file type";
    case LoadFailure::CannotOpen:
      switch (result.openProblem) {
        case platform::OpenProblem::Missing:
          return "no such file";
        case platform::OpenProblem::NotRegular:
          return "not a regular file";
        case platform::OpenProblem::Empty:
          return "empty file";
        case platform::OpenProblem::Other:
        case platform::OpenProblem::None:
          break;
      }
      break;
    case LoadFailure::CannotWrite:
      break;
    case LoadFailure::OutOfMemory:
      return std::strerror(ENOMEM);
    case LoadFailure::NoName:
    case LoadFailure::None:
      return "no such file";
  }
  return result.error != 0 ? std::strerror(result.error) : "unknown error";
}

}  // namespace

void showNotice(const std::string& text) {
  const PluginStartupInfo& startup = pluginState().startup;
  if (startup.Message == nullptr) return;
  const char* const items[] = {MenuTitle, text.c_str()};
  startup.Message(startup.ModuleNumber, 0, nullptr, items, 2, 0);
}

std::string missingAnchorNotice(std::string_view name) {
  return "No anchor #" + shownTarget(name) + " in this page";
}

std::string notLocalNotice(std::string_view target) {
  return "Not a local file: " + shownTarget(target);
}

std::string cannotOpenNotice(std::string_view target, const LoadResult& result) {
  return "Cannot open " + shownTarget(target) + ": " + loadReason(result);
}

}  // namespace orbis::host
