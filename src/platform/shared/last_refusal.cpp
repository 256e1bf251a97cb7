#include "platform/shared/last_refusal.h"

#include <mutex>
#include <utility>

namespace orbis::platform {

namespace {

std::mutex refusalMutex;
Refusal last;

}  // namespace

void setLastRefusal(int code, std::string message) {
  std::lock_guard<std::mutex> lock(refusalMutex);
  last = Refusal{code, std::move(message)};
}

void clearLastRefusal() { setLastRefusal(0, std::string()); }

Refusal lastRefusal() {
  std::lock_guard<std::mutex> lock(refusalMutex);
  return last;
}

}  // namespace orbis::platform
