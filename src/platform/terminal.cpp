// What the signal cleanup needs lives in fixed storage, written before a
// signal can need it: the descriptor, the recorded modes, and two buffers
// for the sequence, of which an atomic index names the one in use, so that
// a sequence being replaced is never read half-written.
#include "platform/terminal.h"

#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/shared/temp_file.h"

namespace orbis::platform {

namespace {

constexpr std::size_t SequenceCapacity = 1024;

struct RestoreState {
  std::atomic<int> descriptor{-1};
  termios modes{};
  char sequences[2][SequenceCapacity]{};
  std::size_t lengths[2]{};
  std::atomic<int> activeSequence{-1};
};

RestoreState restore;

void writeAll(int descriptor, const char* bytes, std::size_t length) {
  while (length > 0) {
    ssize_t written = write(descriptor, bytes, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    bytes += written;
    length -= static_cast<std::size_t>(written);
  }
}

// Runs in a signal handler: only async-signal-safe calls.
void restoreTerminalOnSignal() {
  int descriptor = restore.descriptor.load();
  if (descriptor < 0) return;
  int active = restore.activeSequence.load();
  if (active >= 0) writeAll(descriptor, restore.sequences[active], restore.lengths[active]);
  tcsetattr(descriptor, TCSADRAIN, &restore.modes);
}

}  // namespace

bool openTerminalStreams(TerminalStreams& streams, std::string& error) {
  streams = TerminalStreams{};
  if (isatty(STDOUT_FILENO) == 0) {
    error = "standard output is not a terminal";
    return false;
  }
  streams.output = stdout;
  if (isatty(STDIN_FILENO) != 0) {
    streams.input = stdin;
    return true;
  }
  int descriptor = open("/dev/tty", O_RDONLY | O_NOCTTY | O_CLOEXEC);
  if (descriptor >= 0) streams.input = fdopen(descriptor, "r");
  if (streams.input == nullptr) {
    error = std::string("cannot read the keyboard from /dev/tty: ") + std::strerror(errno);
    if (descriptor >= 0) close(descriptor);
    return false;
  }
  streams.ownsInput = true;
  return true;
}

void closeTerminalStreams(TerminalStreams& streams) {
  if (streams.ownsInput && streams.input != nullptr) std::fclose(streams.input);
  streams = TerminalStreams{};
}

bool disableFlowControl(std::FILE* terminal) {
  int descriptor = fileno(terminal);
  termios modes{};
  if (tcgetattr(descriptor, &modes) != 0) return false;
  modes.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF);
  return tcsetattr(descriptor, TCSANOW, &modes) == 0;
}

void ignoreTerminalStop() {
  struct sigaction action {};
  action.sa_handler = SIG_IGN;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTSTP, &action, nullptr);
}

bool recordTerminalModes(std::FILE* terminal) {
  int descriptor = fileno(terminal);
  termios modes{};
  if (descriptor < 0 || tcgetattr(descriptor, &modes) != 0) return false;
  restore.descriptor.store(-1);
  restore.modes = modes;
  restore.activeSequence.store(-1);
  restore.descriptor.store(descriptor);
  setSignalCleanupHook(restoreTerminalOnSignal);
  return true;
}

void setTerminalRestoreSequence(std::string_view sequence) {
  int next = restore.activeSequence.load() == 0 ? 1 : 0;
  std::size_t length = std::min(sequence.size(), SequenceCapacity);
  std::memcpy(restore.sequences[next], sequence.data(), length);
  restore.lengths[next] = length;
  restore.activeSequence.store(next);
}

void forgetTerminalModes() {
  restore.descriptor.store(-1);
  restore.activeSequence.store(-1);
  setSignalCleanupHook(nullptr);
}

void endAsHangup() { raise(SIGHUP); }

}  // namespace orbis::platform
