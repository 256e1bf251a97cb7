// Facts about the running process that the executables need: where its
// executable lives, its environment, whether its standard streams are
// terminals, and whether its locale's character set is UTF-8.
#pragma once

#include <string>

namespace orbis::platform {

// The full path of the running executable; empty when it cannot be found.
std::string executablePath();

// The directory of the running executable with its trailing '/'; empty when
// it cannot be found.
std::string executableDirectory();

// The value of an environment variable; empty when it is not set.
std::string environmentVariable(const char* name);

// Where the user keeps programs' settings, with its trailing '/':
// $XDG_CONFIG_HOME when that is an absolute path, else $HOME/.config.
// Empty when neither variable helps.
std::string userConfigDirectory();

enum class StandardStream { Input, Output, Error };

// Standard output and standard error take the bytes written as they are;
// the Windows C runtime would otherwise write CR LF for every LF.
void writeStandardStreamsAsBytes();

// True when the stream is connected to a terminal.
bool isTerminal(StandardStream stream);

// True when the character set of the user's locale (LC_ALL, LC_CTYPE, LANG)
// is UTF-8. A locale that is not installed counts as the C locale, as it
// does for every other program.
bool localeIsUtf8();

}  // namespace orbis::platform
