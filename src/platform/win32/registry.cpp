// Registry values read through the system. The value is read into a buffer
// of our own first: the system leaves the caller's buffer undefined when the
// value does not fit, and a failed read must leave it as it was.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace orbis::platform {

namespace {

struct Hive {
  const char* name;
  HKEY key;
};

const Hive Hives[] = {
    {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {"HKEY_USERS", HKEY_USERS},
};

bool sameName(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char c = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 'a' + 'A') : a[i];
    if (c != b[i]) return false;
  }
  return true;
}

// Opens the key that keyPath names, its hive first; null when it cannot.
HKEY openKey(const char* keyPath) {
  const char* separator = std::strchr(keyPath, '\\');
  std::string hiveName(keyPath, separator != nullptr ? separator - keyPath : std::strlen(keyPath));
  const char* subKey = separator != nullptr ? separator + 1 : "";
  for (const Hive& hive : Hives) {
    if (!sameName(hiveName, hive.name)) continue;
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive.key, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
    return key;
  }
  return nullptr;
}

}  // namespace

bool readRegistryValue(const char* keyPath, const char* valueName, void* buffer, uint32_t& size) {
  if (keyPath == nullptr || valueName == nullptr || (buffer == nullptr && size > 0)) return false;
  HKEY key = openKey(keyPath);
  if (key == nullptr) return false;
  std::vector<BYTE> bytes(size);
  DWORD length = size;
  LONG status = RegQueryValueExA(key, valueName, nullptr, nullptr,
                                 bytes.empty() ? nullptr : bytes.data(), &length);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || length > size) return false;
  if (length > 0) std::memcpy(buffer, bytes.data(), length);
  size = length;
  return true;
}

}  // namespace orbis::platform
