// Painting a document's editor on each redraw: every visible run in its
// colours, the link under the saved cursor in the active colours (all of its
// pieces on the screen), and the rest of each screen line in the page's
// background; the console title follows the active link's target.
#pragma once

#include <string>
#include <string_view>

#include "host/far_api.h"
#include "render/document.h"

namespace orbis::host {

// The first piece of the link whose piece covers the cell, or null when no
// link does.
const TextRun* linkAt(const Document& document, int64_t column, int64_t line);

// True when run is a piece of the link that covers the cell.
bool linkContains(const Document& document, const TextRun& run, int64_t column, int64_t line);

// Paints the screen that info describes and sets the console title.
void colorize(const EditorInfo& info);

// The console title for a link target: converted through the character
// table the host detects for it, then decoded as a URL.
std::string titleText(std::string_view target);

}  // namespace orbis::host
