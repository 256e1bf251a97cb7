// The host's version from the version resource of the process's executable,
// in the string table of US English with the Western code page.
#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/host_version.h"

namespace orbis::platform {

namespace {

constexpr DWORD PathLimit = MAX_PATH;
constexpr const char* FallbackExecutable = "far.exe";
constexpr const char* FileVersionEntry = "\\StringFileInfo\\040904E4\\FileVersion";

// The executable's full path; a path the buffer cuts off is no path.
void executablePath(char (&path)[PathLimit + 1]) {
  DWORD length = GetModuleFileNameA(nullptr, path, PathLimit);
  if (length == 0 || length >= PathLimit) std::strcpy(path, FallbackExecutable);
}

}  // namespace

bool readHostFileVersion(std::string& text) {
  char path[PathLimit + 1] = {};
  executablePath(path);
  DWORD unused = 0;
  DWORD size = GetFileVersionInfoSizeA(path, &unused);
  if (size == 0) return false;
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(path, 0, size, block.data())) return false;
  void* value = nullptr;
  UINT characters = 0;
  if (!VerQueryValueA(block.data(), FileVersionEntry, &value, &characters) || value == nullptr) {
    return false;
  }
  // The count may include the terminating zero, which is no part of the text.
  const char* version = static_cast<const char*>(value);
  text.assign(version, strnlen(version, characters));
  return true;
}

}  // namespace orbis::platform
