// The plug-in's last refusal where its host finds it. Host and DLL each
// carry their own copy of this code, so the reason lies in a small section
// of memory that the system names after the process: whichever module
// comes first makes it, the other finds it. It is written and read by the
// thread that calls the plug-in, one call after the other, as errno is.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "platform/shared/last_refusal.h"

namespace orbis::platform {

namespace {

constexpr std::size_t MessageCapacity = 4096;

struct SharedRefusal {
  LONG code;
  char message[MessageCapacity];  // zero-terminated; a longer message is cut
};

SharedRefusal* sharedRefusal() {
  static SharedRefusal* shared = [] {
    char name[64];
    std::snprintf(name, sizeof name, "Local\\OrbislineRefusal-%lu", GetCurrentProcessId());
    HANDLE section = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(SharedRefusal), name);
    if (section == nullptr) return static_cast<SharedRefusal*>(nullptr);
    // The handle is never closed: the name lasts only as long as a handle
    // to it does, and the other module must still find it.
    return static_cast<SharedRefusal*>(
        MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, sizeof(SharedRefusal)));
  }();
  return shared;
}

}  // namespace

void setLastRefusal(int code, std::string message) {
  SharedRefusal* shared = sharedRefusal();
  if (shared == nullptr) return;
  std::size_t length = std::min(message.size(), MessageCapacity - 1);
  std::memcpy(shared->message, message.data(), length);
  shared->message[length] = '\0';
  shared->code = code;
}

void clearLastRefusal() { setLastRefusal(0, std::string()); }

Refusal lastRefusal() {
  SharedRefusal* shared = sharedRefusal();
  if (shared == nullptr) return {};
  return Refusal{static_cast<int>(shared->code),
                 std::string(shared->message, strnlen(shared->message, MessageCapacity))};
}

}  // namespace orbis::platform
