// The import address table of a loaded module: the slots through which its
// code calls the functions of other DLLs, filled by the loader.
#pragma once

#include <windows.h>

namespace orbis::platform {

// Makes every slot of module's import table that holds the function
// imported under name (from whichever DLL) hold replacement instead, so that
// the module's calls of it reach replacement. Returns the number of slots
// changed (0 when the module does not import the function), or -1 when the
// module's headers are unreadable or a slot cannot be written.
int replaceImportedFunction(HMODULE module, const char* name, FARPROC replacement);

}  // namespace orbis::platform
