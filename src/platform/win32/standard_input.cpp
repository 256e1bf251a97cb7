// Standard input as bytes: the C runtime would otherwise turn CR LF into LF
// and stop at the first 0x1A, which the page's own reading does later.
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <climits>

#include "platform/standard_input.h"

namespace orbis::platform {

int64_t readStandardInput(char* buffer, std::size_t size) {
  constexpr int StandardInput = 0;
  _setmode(StandardInput, _O_BINARY);
  return _read(StandardInput, buffer, static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX)));
}

}  // namespace orbis::platform
