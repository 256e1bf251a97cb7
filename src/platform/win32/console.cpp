// The process's console as the system keeps it: the size is the largest
// window that the screen buffer of standard output allows, the title the
// console window's own. A size set by a host of ours comes first.
#include <windows.h>

#include <atomic>
#include <vector>

#include "platform/shared/console.h"

namespace orbis::platform {

namespace {

// The system's limit on a console title.
constexpr DWORD TitleCapacity = 64 * 1024;

std::atomic<int> overrideColumns{0};
std::atomic<int> overrideRows{0};
std::atomic<ConsoleTitleListener> titleListener{nullptr};

}  // namespace

bool consoleMaxWindowSize(ConsoleSize& size) {
  int columns = overrideColumns.load(std::memory_order_relaxed);
  if (columns > 0) {
    size.columns = columns;
    size.rows = overrideRows.load(std::memory_order_relaxed);
    return true;
  }
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (output == nullptr || output == INVALID_HANDLE_VALUE ||
      !GetConsoleScreenBufferInfo(output, &info) || info.dwMaximumWindowSize.X <= 0 ||
      info.dwMaximumWindowSize.Y <= 0) {
    return false;
  }
  size.columns = info.dwMaximumWindowSize.X;
  size.rows = info.dwMaximumWindowSize.Y;
  return true;
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
  SetConsoleTitleA(text);
  ConsoleTitleListener listener = titleListener.load();
  if (listener != nullptr) listener(text);
}

std::string consoleTitle() {
  std::vector<char> buffer(TitleCapacity);
  DWORD length = GetConsoleTitleA(buffer.data(), TitleCapacity);
  return std::string(buffer.data(), length < TitleCapacity ? length : 0);
}

void setConsoleTitleListener(ConsoleTitleListener listener) { titleListener.store(listener); }

}  // namespace orbis::platform
