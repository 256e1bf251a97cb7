// Limits of text flow that its callers and tests share. The primitives
// themselves are members of Layout (newLine, lineBreak, flowRun, ...).
#pragma once

#include <cstdint>

namespace orbis {

// Narrower lines would let the cutting of long words go on for ever.
constexpr int32_t MinWrapWidth = 2;

// A tab stop wider than this serves no console and would let a page of tabs
// grow into gigabytes of blanks.
constexpr int32_t MaxTabSize = 64;

// From this column on a tab is a single blank, so that a preformatted line
// of tabs cannot push the column count past what 32 bits hold.
constexpr int32_t TabStopLimit = 1 << 24;

// A tab size of the settings held to 1..MaxTabSize.
int32_t effectiveTabSize(int32_t tabsize);

// The blanks a tab at column adds after its own blank, so that it reaches
// the next multiple of tabSize (tabSize >= 1).
int32_t tabExpansion(int32_t column, int32_t tabSize);

}  // namespace orbis
