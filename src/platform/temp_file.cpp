// Temporary files are registered in a fixed table so that a signal handler
// can remove them without allocating: a slot is claimed with an atomic flag
// and holds a copy of the path.
#include "platform/temp_file.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace orbis::platform {

namespace {

constexpr int SlotCount = 256;
constexpr std::size_t PathCapacity = 4096;

struct Slot {
  std::atomic<int> state{0};  // 0 free, 1 being written, 2 holds a live path
  char path[PathCapacity];
};

Slot slots[SlotCount];

void registerPath(const std::string& path) {
  if (path.size() >= PathCapacity) {
    return;
  }
  for (Slot& slot : slots) {
    int expected = 0;
    if (slot.state.compare_exchange_strong(expected, 1)) {
      std::memcpy(slot.path, path.c_str(), path.size() + 1);
      slot.state.store(2);
      return;
    }
  }
}

void unregisterPath(const std::string& path) {
  for (Slot& slot : slots) {
    if (slot.state.load() == 2 && path == slot.path) {
      slot.state.store(0);
      return;
    }
  }
}

extern "C" void removeTempFilesOnSignal(int signalNumber) {
  for (Slot& slot : slots) {
    if (slot.state.load() == 2) {
      unlink(slot.path);
    }
  }
  // Die of the same signal, so the parent sees the usual status.
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

const int cleanupSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Holds the cleanup signals back on this thread for its lifetime.
class CleanupSignalsBlocked {
public:
  CleanupSignalsBlocked() {
    sigset_t blocked;
    sigemptyset(&blocked);
    for (int signalNumber : cleanupSignals) {
      sigaddset(&blocked, signalNumber);
    }
    pthread_sigmask(SIG_BLOCK, &blocked, &previous_);
  }
  ~CleanupSignalsBlocked() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
  CleanupSignalsBlocked(const CleanupSignalsBlocked&) = delete;
  CleanupSignalsBlocked& operator=(const CleanupSignalsBlocked&) = delete;

private:
  sigset_t previous_;
};

std::string temporaryDirectory() {
  const char* directory = std::getenv("TMPDIR");
  if (directory == nullptr || *directory == '\0') {
    directory = "/tmp";
  }
  std::string result(directory);
  if (result.back() != '/') {
    result += '/';
  }
  return result;
}

}  // namespace

bool createTempFile(const char* prefix, std::string& path) {
  // The name is filled in where it stands, so that nothing needs memory once
  // the file exists: a failed allocation then could only leave it behind.
  std::string name = temporaryDirectory() + (prefix ? prefix : "") + "XXXXXX";
  // No cleanup signal may come between the file's creation and its entry in
  // the table, or the file would outlive the process.
  CleanupSignalsBlocked blocked;
  // mkstemp creates the file with O_EXCL and mode 0600: a planted link or an
  // existing file is never opened.
  int descriptor = mkostemp(name.data(), O_CLOEXEC);
  if (descriptor >= 0) {
    close(descriptor);
    path.swap(name);
    registerPath(path);
  }
  return descriptor >= 0;
}

bool deleteTempFile(const std::string& path) {
  CleanupSignalsBlocked blocked;  // the file is either in the table or gone
  unregisterPath(path);
  return unlink(path.c_str()) == 0;
}

void installTempFileCleanup() {
  static std::atomic<bool> installed{false};
  if (installed.exchange(true)) {
    return;
  }
  for (int signalNumber : cleanupSignals) {
    struct sigaction action {};
    action.sa_handler = removeTempFilesOnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(signalNumber, &action, nullptr);
  }
}

}  // namespace orbis::platform
