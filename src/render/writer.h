// The writer: from laid-out lines to the temporary file that the editor
// shows.
#pragma once

#include <cstdint>

#include "platform/shared/console.h"
#include "render/document.h"

namespace orbis {

// Gives every run of doc its final line and columns, puts the blanks of
// right and centre alignment (for a console of console.columns) in front of
// their lines, and writes the lines to doc's temporary file, followed by
// empty lines up to console.rows - 4 when layout ended on an earlier line
// (lastLine); sets doc.lastLineIndex. Returns 0, or the errno value of the
// failure when the file could not be opened or fully written.
int writeText(Document& doc, int32_t lastLine, platform::ConsoleSize console);

// Sets each run's line to index and its start and end columns, the runs
// side by side from column 0.
void numberRuns(RenderedLine& line, int32_t index);

}  // namespace orbis
