// What a load answers: loaded, or why not, with the one line that tells the
// user. The plug-in leaves it where its host can read it, and the
// executable's own modes print it.
#pragma once

#include <string>

#include "platform/text_file.h"

namespace orbis {

enum class LoadFailure : int {
  None = 0,
  NoName,                // null name
  NoExtension,           // no "." in the name
  ExtensionNotAccepted,  // not among the words of the settings' exts
  CannotOpen,            // missing, not a regular file, unreadable or empty
  CannotWrite,           // the temporary file could not be made or written
  OutOfMemory,           // memory ran out while the page was read or laid out
};

struct LoadResult {
  LoadFailure failure = LoadFailure::None;
  // "NAME: reason" for a refused file (NAME as the caller gave it); for a
  // temporary file, that file or its directory with the system's reason.
  // Empty when loaded.
  std::string message;
  // For CannotOpen, what is wrong with the file.
  platform::OpenProblem openProblem = platform::OpenProblem::None;
  // The errno value behind CannotWrite, and behind CannotOpen with
  // OpenProblem::Other; 0 otherwise.
  int error = 0;

  bool loaded() const { return failure == LoadFailure::None; }
};

}  // namespace orbis
