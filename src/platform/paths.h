// Names of files as text: the separators of both systems count, since a
// name may come from either (a page written on Windows links with
// backslashes).
#pragma once

#include <string>
#include <string_view>

namespace orbis::platform {

// The directory part of path, up to and including its last '/' or '\';
// empty when it has neither.
std::string directoryOf(std::string_view path);

}  // namespace orbis::platform
