// Why the plug-in last refused to show a file, left where its host can read
// it once the call that refused has returned, as errno is left by a system
// call. The code is the load's own reason value; the message is one line for
// the user that names the file and says why. Set only on a refusal: a host
// that wants to know clears it before the call.
#pragma once

#include <string>

namespace orbis::platform {

struct Refusal {
  int code = 0;  // 0: nothing was refused
  std::string message;
};

void setLastRefusal(int code, std::string message);
void clearLastRefusal();
Refusal lastRefusal();

}  // namespace orbis::platform
