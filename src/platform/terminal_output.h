// Where the executable's standard output goes and what it may hold: the two
// facts that decide how rendered text is shown.
#pragma once

namespace orbis::platform {

// True when standard output is a terminal.
bool standardOutputIsTerminal();

// True when the character set of the user's locale (LC_ALL, LC_CTYPE, LANG)
// is UTF-8. A locale that is not installed counts as the C locale, as it
// does for every other program.
bool localeIsUtf8();

}  // namespace orbis::platform
