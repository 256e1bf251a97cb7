// The named character references of HTML 4.01 (252 names), which pages use
// whether or not the settings define them. Consulted only for names the
// settings leave undefined.
#pragma once

#include <cstdint>
#include <string_view>

namespace orbis {

// The code of the name (compared byte for byte), or 0 when HTML 4.01 has no
// such name.
int32_t htmlEntityCode(std::string_view name);

}  // namespace orbis
