// The --runs format: the rendered model of a loaded Document.
//   title "T"
//   lastLineIndex N
//   normal BG FG
//   anchor "NAME" VALUE            one per anchor, in the map's order
//   line K                         one per line, then its runs:
//     text START END BG FG "TEXT"
//     link START END BG FG ABG AFG "TEXT" "TARGET"
// A run line ends in " prev" and/or " next" when it has those pieces.
// Texts are escaped as appendEscaped does; numbers are decimal.
#pragma once

#include "console_host/text_output.h"
#include "render/document.h"

namespace orbis::app {

using console::OutputBuffer;

void printRuns(const Document& document, OutputBuffer& out);

}  // namespace orbis::app
