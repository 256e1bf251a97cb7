#include "platform/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orbis::platform {

MappedFile::~MappedFile() { close(); }

bool MappedFile::open(const char* path) {
  close();
  lastError_.clear();
  int descriptor = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor == -1) {
    lastError_ = std::strerror(errno);
    return false;
  }
  struct stat status {};
  bool ok = fstat(descriptor, &status) == 0;
  if (!ok) {
    lastError_ = std::strerror(errno);
  } else if (!S_ISREG(status.st_mode)) {
    lastError_ = S_ISDIR(status.st_mode) ? "is a directory" : "is not a regular file";
    ok = false;
  } else if (status.st_size > 0) {
    // A private mapping: changes that others make later are not promised
    // to show, and nothing is ever written through it. Its reader goes
    // through every byte at once, so the pages come in one call rather than
    // a fault each.
    void* data = mmap(nullptr, static_cast<std::size_t>(status.st_size), PROT_READ,
                      MAP_PRIVATE | MAP_POPULATE, descriptor, 0);
    if (data == MAP_FAILED) {
      lastError_ = std::strerror(errno);
      ok = false;
    } else {
      data_ = data;
      size_ = static_cast<std::size_t>(status.st_size);
    }
  }
  ::close(descriptor);
  return ok;
}

void MappedFile::close() {
  if (data_ != nullptr) munmap(data_, size_);
  data_ = nullptr;
  size_ = 0;
}

}  // namespace orbis::platform
