// Tab and Shift+Tab: from link to link through the text.
#pragma once

#include "host/far_api.h"

namespace orbis::host {

// Moves the editor's cursor to the start of the next link after it (the
// previous one before it when backwards), counting a link wrapped over
// several lines once, by its first piece. The top line stays when the link
// is on the screen and follows the anchor rule otherwise. Past the last
// link it goes round to the first (and back), saying so in a notice. The
// link becomes the saved cursor, so that it lights at once.
void moveToLink(const EditorInfo& info, bool backwards);

}  // namespace orbis::host
