// The registry stand-in: keys are folders and values are files under one
// root folder. The key path comes from our own code, but the root and the
// files belong to the user, so every part of the path is checked before it
// reaches the file system and only regular files are read.
#include "platform/registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace orbis::platform {
namespace {

std::string registryRoot() {
  const char* root = std::getenv("ORBISLINE_REGISTRY");
  if (root && *root) return root;
  const char* home = std::getenv("HOME");
  if (!home || !*home) return {};
  return std::string(home) + "/.config/orbisline/registry";
}

// One key or value name: it may not climb out of the root or reach into a
// folder of its own.
bool isSafePart(std::string_view part) {
  return !part.empty() && part != "." && part != ".." && part.find('/') == std::string_view::npos;
}

// Appends the parts of keyPath (separated by backslashes) to path as folders.
bool appendKeyPath(std::string& path, std::string_view keyPath) {
  while (true) {
    size_t end = keyPath.find('\\');
    std::string_view part = keyPath.substr(0, end);
    if (!isSafePart(part)) return false;
    path += '/';
    path += part;
    if (end == std::string_view::npos) return true;
    keyPath.remove_prefix(end + 1);
  }
}

// Reads the whole regular file at path when it holds at most capacity bytes.
bool readSmallFile(const std::string& path, uint32_t capacity, std::vector<char>& bytes) {
  int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor == -1) return false;
  struct stat status {};
  bool ok = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
  // Asking for one byte more than expected tells a value that is too long,
  // or a file that grew while it was read.
  uint64_t expected = ok ? static_cast<uint64_t>(status.st_size) : 0;
  uint64_t limit = expected < capacity ? expected : capacity;
  bytes.resize(static_cast<size_t>(limit) + 1);
  size_t total = 0;
  while (ok && total < bytes.size()) {
    ssize_t got = ::read(descriptor, bytes.data() + total, bytes.size() - total);
    if (got == -1 && errno == EINTR) continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    total += static_cast<size_t>(got);
  }
  ::close(descriptor);
  bytes.resize(total);
  return ok && total <= limit && total == expected;
}

}  // namespace

bool readRegistryValue(const char* keyPath, const char* valueName, void* buffer, uint32_t& size) {
  if (!keyPath || !valueName || (!buffer && size > 0)) return false;
  std::string path = registryRoot();
  if (path.empty() || !appendKeyPath(path, keyPath)) return false;
  if (!isSafePart(valueName) || std::strchr(valueName, '\\')) return false;
  path += '/';
  path += valueName;

  std::vector<char> bytes;
  if (!readSmallFile(path, size, bytes)) return false;
  if (!bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
  size = static_cast<uint32_t>(bytes.size());
  return true;
}

}  // namespace orbis::platform
