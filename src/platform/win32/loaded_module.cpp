// A module loaded by the system's loader, its exports found by their plain
// names, as the host finds a plug-in's.
#include <windows.h>

#include "platform/loaded_module.h"

namespace orbis::platform {

namespace {

// The system's message for the last error, on one line.
std::string systemReason(const char* fallback) {
  DWORD error = GetLastError();
  char* text = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string reason = length > 0 ? std::string(text, length) : std::string(fallback);
  if (text != nullptr) LocalFree(text);
  while (!reason.empty() &&
         (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.')) {
    reason.pop_back();
  }
  return reason + " (error " + std::to_string(error) + ")";
}

}  // namespace

LoadedModule::~LoadedModule() { close(); }

bool LoadedModule::open(const std::string& path) {
  close();
  lastError_.clear();
  // No box for a missing DLL the module needs: the reason comes back here.
  UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  handle_ = LoadLibraryA(path.c_str());
  if (handle_ == nullptr) lastError_ = systemReason("cannot be loaded");
  SetErrorMode(previous);
  return handle_ != nullptr;
}

void LoadedModule::close() {
  if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(handle_));
  handle_ = nullptr;
}

void* LoadedModule::symbol(const char* name) {
  if (handle_ == nullptr) {
    lastError_ = "no module is loaded";
    return nullptr;
  }
  FARPROC address = GetProcAddress(static_cast<HMODULE>(handle_), name);
  if (address == nullptr) lastError_ = systemReason("symbol not found");
  return reinterpret_cast<void*>(address);
}

}  // namespace orbis::platform
