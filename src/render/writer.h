// The writer: the laid-out lines as the text that the editor shows, in the
// temporary file, or handed on in blocks to whoever prints it.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/shared/console.h"
#include "render/document.h"

namespace orbis {

// The index of the last line of the text: lastLine (where layout ended),
// or console.rows - 4 when that is later, so that the editor's last screen
// is full.
int32_t lastLineIndexFor(int32_t lastLine, platform::ConsoleSize console);

// Hands doc's text to write in blocks of at most BlockSize bytes: each line
// followed by a line feed, then empty lines up to doc.lastLineIndex. Stops
// when write returns false; returns whether every block was written.
constexpr std::size_t TextBlockSize = std::size_t{1} << 16;
bool writeTextBlocks(const Document& doc, const std::function<bool(std::string_view)>& write);

// Writes the text to doc's temporary file, replacing what it held. Returns
// 0, or the errno value of the failure when the file could not be opened or
// fully written.
int writeText(const Document& doc);

}  // namespace orbis
