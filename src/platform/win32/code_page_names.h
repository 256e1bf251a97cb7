// The Windows code page of a character set's name as pages declare it.
#pragma once

#include <string>

namespace orbis::platform {

// The code page's number; 0 when the name means none that the system
// might know. The system may still lack the page.
unsigned codePageForName(const std::string& name);

}  // namespace orbis::platform
