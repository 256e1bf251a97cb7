#include "platform/shared/console.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

namespace orbis::platform {

namespace {

std::atomic<int> overrideColumns{0};
std::atomic<int> overrideRows{0};

std::mutex titleMutex;
std::string title;
std::atomic<ConsoleTitleListener> titleListener{nullptr};

bool terminalSize(int descriptor, ConsoleSize& size) {
  winsize window{};
  if (ioctl(descriptor, TIOCGWINSZ, &window) != 0 || window.ws_col == 0 || window.ws_row == 0) {
    return false;
  }
  size.columns = window.ws_col;
  size.rows = window.ws_row;
  return true;
}

}  // namespace

bool consoleMaxWindowSize(ConsoleSize& size) {
  int columns = overrideColumns.load(std::memory_order_relaxed);
  if (columns > 0) {
    size.columns = columns;
    size.rows = overrideRows.load(std::memory_order_relaxed);
    return true;
  }
  return terminalSize(STDOUT_FILENO, size) || terminalSize(STDERR_FILENO, size) ||
         terminalSize(STDIN_FILENO, size);
}

void setConsoleSizeOverride(ConsoleSize size) {
  overrideRows.store(size.rows, std::memory_order_relaxed);
  overrideColumns.store(size.columns, std::memory_order_relaxed);
}

void clearConsoleSizeOverride() {
  overrideColumns.store(0, std::memory_order_relaxed);
  overrideRows.store(0, std::memory_order_relaxed);
}

void setConsoleTitle(const char* text) {
  if (text == nullptr) text = "";
  {
    std::lock_guard<std::mutex> lock(titleMutex);
    title = text;
  }
  ConsoleTitleListener listener = titleListener.load();
  if (listener != nullptr) listener(text);
}

std::string consoleTitle() {
  std::lock_guard<std::mutex> lock(titleMutex);
  return title;
}

void setConsoleTitleListener(ConsoleTitleListener listener) { titleListener.store(listener); }

}  // namespace orbis::platform
