// Following links: to an anchor of the shown page, or to another file
// (with an anchor in it), and saying why when a link cannot be followed.
#pragma once

#include <string_view>

#include "host/far_api.h"

namespace orbis::host {

// The top line that shows line of the current document in an editor of
// info's height: the line itself, unless the text ends within a screen
// from it, when the end of the text fills the screen.
int anchorTop(const EditorInfo& info, int64_t line);

// Moves the editor's cursor to the named anchor of the current document
// (letter case ignored), in the same column, with the anchor's line at the
// top as anchorTop says. A name the page lacks moves nothing and shows a
// notice. True when the anchor was there.
bool jumpToAnchor(const EditorInfo& info, std::string_view name);

// Follows a link's target as the page has it: "#name" jumps within the
// page; a name of another file (resolved against the current document's
// directory) loads that file to replace the current one, opened at the
// anchor its fragment names. A target with a scheme, or a file that cannot
// be loaded, leaves everything as it is and shows a notice saying why.
void followLink(const EditorInfo& info, std::string_view target);

}  // namespace orbis::host
