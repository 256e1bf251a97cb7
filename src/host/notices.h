// The notices of the viewer about a link that cannot be followed, and the
// wrap of Tab round the text. A notice is the host's message box titled
// "Orbisline" with one line of text and no button, which in the host's
// manner stays until the next key; the editor stays as it was.
#pragma once

#include <string>
#include <string_view>

#include "render/load_result.h"

namespace orbis::host {

void showNotice(const std::string& text);

// "No anchor #NAME in this page".
std::string missingAnchorNotice(std::string_view name);

// "Not a local file: TARGET", for a target with a scheme.
std::string notLocalNotice(std::string_view target);

// "Cannot open TARGET: REASON", the reason from the failed load: no such
// file, not a regular file, not an accepted file type, empty file, or the
// system's own words.
std::string cannotOpenNotice(std::string_view target, const LoadResult& result);

}  // namespace orbis::host
