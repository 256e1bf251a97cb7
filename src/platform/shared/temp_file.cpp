// Temporary files are registered in a fixed table so that a signal handler
// can remove them without allocating: a slot is claimed with an atomic flag
// and holds a copy of the path. It also keeps the descriptor that created the
// file, which every later open goes through: in a directory that others may
// write to, the name could meanwhile lead somewhere else.
#include "platform/shared/temp_file.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace orbis::platform {

namespace {

constexpr int SlotCount = 256;
constexpr std::size_t PathCapacity = 4096;

struct Slot {
  std::atomic<int> state{0};  // 0 free, 1 being written, 2 holds a live path
  int descriptor = -1;
  char path[PathCapacity];
};

Slot slots[SlotCount];

// False (errno set) when the table has no room: such a file could outlive
// an interrupted process, so it is not made at all.
bool registerPath(const std::string& path, int descriptor) {
  if (path.size() >= PathCapacity) {
    errno = ENAMETOOLONG;
    return false;
  }
  for (Slot& slot : slots) {
    int expected = 0;
    if (slot.state.compare_exchange_strong(expected, 1)) {
      std::memcpy(slot.path, path.c_str(), path.size() + 1);
      slot.descriptor = descriptor;
      slot.state.store(2);
      return true;
    }
  }
  errno = EMFILE;
  return false;
}

Slot* findPath(const std::string& path) {
  for (Slot& slot : slots) {
    if (slot.state.load() == 2 && path == slot.path) {
      return &slot;
    }
  }
  return nullptr;
}

void unregisterPath(const std::string& path) {
  if (Slot* slot = findPath(path)) {
    close(slot->descriptor);
    slot->descriptor = -1;
    slot->state.store(0);
  }
}

std::atomic<SignalCleanupHook> cleanupHook{nullptr};

void cleanUpOnSignal() {
  SignalCleanupHook hook = cleanupHook.load();
  if (hook != nullptr) hook();
  for (Slot& slot : slots) {
    if (slot.state.load() == 2) {
      unlink(slot.path);
    }
  }
}

extern "C" void removeTempFilesOnSignal(int signalNumber) {
  cleanUpOnSignal();
  // Die of the same signal, so the parent sees the usual status.
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

// SIGPIPE: the reader of the output has gone (a pager quit early, head).
const int cleanupSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE};
const int faultSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr int SignalLimit = 65;
struct sigaction previousFaultActions[SignalLimit];

// A fault goes on to its earlier handler: a fault that the hardware raised
// happens again when the handler returns, and meets that handler then; one
// that was sent (kill, abort) is sent again.
extern "C" void removeTempFilesOnFault(int signalNumber, siginfo_t* info, void*) {
  cleanUpOnSignal();
  if (signalNumber <= 0 || signalNumber >= SignalLimit) return;
  sigaction(signalNumber, &previousFaultActions[signalNumber], nullptr);
  if (info == nullptr || info->si_code <= 0 || signalNumber == SIGABRT) raise(signalNumber);
}

void installFaultCleanup() {
  for (int signalNumber : faultSignals) {
    struct sigaction action {};
    action.sa_sigaction = removeTempFilesOnFault;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    sigaction(signalNumber, &action, &previousFaultActions[signalNumber]);
  }
}

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

}  // namespace

std::string tempFileDirectory() {
  const char* directory = std::getenv("TMPDIR");
  return directory == nullptr || *directory == '\0' ? "/tmp" : directory;
}

bool createTempFile(const char* prefix, std::string& path, const char* suffix) {
  // The name is filled in where it stands, so that nothing needs memory once
  // the file exists: a failed allocation then could only leave it behind.
  std::string name = tempFileDirectory();
  if (name.back() != '/') {
    name += '/';
  }
  name += prefix ? prefix : "";
  name += "XXXXXX";
  std::size_t suffixLength = suffix != nullptr ? std::strlen(suffix) : 0;
  name.append(suffix != nullptr ? suffix : "");
  // No cleanup signal may come between the file's creation and its entry in
  // the table, or the file would outlive the process.
  CleanupSignalsBlocked blocked;
  // mkstemp creates the file with O_EXCL and mode 0600: a planted link or an
  // existing file is never opened.
  int descriptor = mkostemps(name.data(), static_cast<int>(suffixLength), O_CLOEXEC);
  if (descriptor < 0) {
    return false;
  }
  if (!registerPath(name, descriptor)) {
    int error = errno;
    unlink(name.c_str());
    close(descriptor);
    errno = error;
    return false;
  }
  path.swap(name);
  return true;
}

std::FILE* openTempFile(const std::string& path, TempFileAccess access) {
  const Slot* slot = findPath(path);
  if (slot == nullptr) {
    errno = ENOENT;
    return nullptr;
  }
  // A copy of the descriptor shares its position, which is why the stream
  // starts by going back to the first byte.
  int copy = fcntl(slot->descriptor, F_DUPFD_CLOEXEC, 0);
  if (copy < 0) {
    return nullptr;
  }
  bool writing = access == TempFileAccess::Write;
  std::FILE* stream = nullptr;
  if ((!writing || ftruncate(copy, 0) == 0) && lseek(copy, 0, SEEK_SET) == 0) {
    stream = fdopen(copy, writing ? "wb" : "rb");
  }
  if (stream == nullptr) {
    int error = errno;
    close(copy);
    errno = error;
  }
  return stream;
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
    // A signal the process was started with ignored stays ignored: nohup,
    // a background job, or a parent that wants failed writes instead of
    // SIGPIPE.
    struct sigaction inherited {};
    if (sigaction(signalNumber, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_IGN) {
      continue;
    }
    struct sigaction action {};
    action.sa_handler = removeTempFilesOnSignal;
    // One cleanup at a time: a second signal waits for the first to end
    // the process.
    sigemptyset(&action.sa_mask);
    for (int other : cleanupSignals) sigaddset(&action.sa_mask, other);
    sigaction(signalNumber, &action, nullptr);
  }
  installFaultCleanup();
  // A file-size limit (ulimit -f) would kill the process in the middle of a
  // write, with the files and the terminal left as they were: ignored, the
  // write fails with EFBIG and is reported like any failed write.
  signal(SIGXFSZ, SIG_IGN);
}

void setSignalCleanupHook(SignalCleanupHook hook) { cleanupHook.store(hook); }

}  // namespace orbis::platform
