// Temporary files in the user's temporary directory, named by the system
// ("~obXXXX.tmp"). Each path is entered in a fixed table before its file is
// created, so that a console control handler, which runs on a thread of its
// own at any moment, finds every file that may exist without allocating.
//
// The files are opened again by name: the host's editor opens them by name
// too, and a handle kept open here could deny it the file. The directory is
// the user's own, so the name cannot be taken over by someone else.
#include <windows.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/shared/temp_file.h"

namespace orbis::platform {

namespace {

constexpr int SlotCount = 256;

struct Slot {
  std::atomic<int> state{0};  // 0 free, 1 being written, 2 holds a path
  char path[MAX_PATH];
};

Slot slots[SlotCount];

Slot* registerPath(const char* path) {
  for (Slot& slot : slots) {
    int expected = 0;
    if (slot.state.compare_exchange_strong(expected, 1)) {
      std::strcpy(slot.path, path);
      slot.state.store(2);
      return &slot;
    }
  }
  return nullptr;
}

Slot* findPath(const std::string& path) {
  for (Slot& slot : slots) {
    if (slot.state.load() == 2 && path == slot.path) return &slot;
  }
  return nullptr;
}

void releaseSlot(Slot* slot) {
  if (slot != nullptr) slot->state.store(0);
}

int errnoFromLastError() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
      return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    default:
      return EIO;
  }
}

// Makes the file of a name the system formed from directory, prefix and
// number, unless one of that name exists. GetTempFileNameA would make one
// itself only after choosing its name, too late for the table.
enum class Creation { Made, Exists, Failed };

Creation createNamed(const std::string& directory, const char* prefix, unsigned number,
                     const char* suffix, std::string& path) {
  char name[MAX_PATH] = {};
  if (GetTempFileNameA(directory.c_str(), prefix, number, name) == 0) return Creation::Failed;
  std::string full = std::string(name) + suffix;
  if (full.size() >= MAX_PATH) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return Creation::Failed;
  }
  Slot* slot = registerPath(full.c_str());
  if (slot == nullptr) {
    SetLastError(ERROR_TOO_MANY_OPEN_FILES);
    return Creation::Failed;
  }
  HANDLE file = CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    releaseSlot(slot);
    SetLastError(error);
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? Creation::Exists
                                                                       : Creation::Failed;
  }
  CloseHandle(file);
  path = full;
  return Creation::Made;
}

std::atomic<bool> handlerInstalled{false};
std::atomic<bool> cleanOnInterrupt{false};
std::atomic<SignalCleanupHook> cleanupHook{nullptr};

void removeAllFiles() {
  SignalCleanupHook hook = cleanupHook.load();
  if (hook != nullptr) hook();
  for (Slot& slot : slots) {
    if (slot.state.load() == 2) DeleteFileA(slot.path);
  }
}

// Ctrl-C and Ctrl-Break end only a program that asked for it: a host that
// handles them goes on, with its documents still open. The console closing,
// logging off and shutting down end every process.
BOOL WINAPI onConsoleControl(DWORD event) {
  bool interrupt = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
  if (!interrupt || cleanOnInterrupt.load()) removeAllFiles();
  return FALSE;  // the handlers before this one, or the system's, decide
}

// A module that is unloaded must not leave its handler behind.
struct HandlerRemoval {
  ~HandlerRemoval() {
    if (handlerInstalled.load()) SetConsoleCtrlHandler(onConsoleControl, FALSE);
  }
} handlerRemoval;

void installHandler() {
  if (!handlerInstalled.exchange(true)) SetConsoleCtrlHandler(onConsoleControl, TRUE);
}

}  // namespace

std::string tempFileDirectory() {
  char buffer[MAX_PATH + 1] = {};
  DWORD length = GetTempPathA(sizeof buffer, buffer);
  return length == 0 || length >= sizeof buffer ? std::string() : std::string(buffer, length);
}

bool createTempFile(const char* prefix, std::string& path, const char* suffix) {
  // A module in someone else's process is never asked to install this, yet
  // its files must go when the console does.
  installHandler();
  std::string directory = tempFileDirectory();
  if (directory.empty()) {
    errno = ENOENT;
    return false;
  }
  // The system's own choice: numbers from the clock, counting up.
  unsigned number = GetTickCount() & 0xFFFF;
  for (unsigned tries = 0; tries < 0x10000; ++tries, number = (number + 1) & 0xFFFF) {
    if (number == 0) continue;  // zero would make the system create the file
    Creation made = createNamed(directory, prefix != nullptr ? prefix : "", number,
                                suffix != nullptr ? suffix : "", path);
    if (made == Creation::Made) return true;
    if (made == Creation::Failed) break;
  }
  errno = errnoFromLastError();
  return false;
}

std::FILE* openTempFile(const std::string& path, TempFileAccess access) {
  if (findPath(path) == nullptr) {
    errno = ENOENT;
    return nullptr;
  }
  return std::fopen(path.c_str(), access == TempFileAccess::Write ? "wb" : "rb");
}

bool deleteTempFile(const std::string& path) {
  Slot* slot = findPath(path);
  bool deleted = DeleteFileA(path.c_str()) != 0;
  releaseSlot(slot);  // only once the file is gone
  return deleted;
}

void installTempFileCleanup() {
  cleanOnInterrupt.store(true);
  installHandler();
}

void setSignalCleanupHook(SignalCleanupHook hook) { cleanupHook.store(hook); }

}  // namespace orbis::platform
