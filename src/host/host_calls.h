// The plug-in's calls into the host, through the table the host handed over
// at start-up. A host function the table lacks (a null pointer) is treated
// as doing nothing.
#pragma once

#include "host/far_api.h"

namespace orbis::host {

// A warning box with a title, one line of text and one button; each text is
// cut to 255 bytes. The answer is not used.
void showMessage(const char* text, const char* title, const char* button);

// ECTL_GETINFO for the current editor; the fields stay zero where the host
// fills nothing.
EditorInfo editorInfo();

// Sends an editor command whose parameter the host only reads or that has
// none.
void editorControl(int command, void* parameter);

// Converts count bytes in place through the character table that the host
// detects for them, when it detects one: bytes below 0x80 through the
// table's encoding half, the others through its decoding half.
void convertForConsole(char* text, int count);

}  // namespace orbis::host
