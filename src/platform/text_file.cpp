// Text-mode reads over POSIX descriptors. The conversion works in place on
// the caller's buffer: the converted bytes never outnumber the raw ones.
#include "platform/text_file.h"

#include "platform/codepage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orbis::platform {

namespace {

constexpr char CarriageReturn = '\r';
constexpr char LineFeed = '\n';
constexpr char EndOfFileMark = 0x1A;
constexpr int64_t BufferSize = 64 * 1024;

bool hasHighBytes(const char* text) {
  for (; *text != '\0'; ++text) {
    if (static_cast<unsigned char>(*text) >= 0x80) return true;
  }
  return false;
}

// Opens path read-only; a name in the code page gets a second chance in
// UTF-8. errno is that of the name as given when both fail.
int openForReading(const char* path) {
  constexpr int Flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  int descriptor = ::open(path, Flags);
  if (descriptor != -1 || errno != ENOENT || !hasHighBytes(path)) return descriptor;
  std::string converted;
  if (!ansiToUtf8(path, converted) || converted == path) return -1;
  descriptor = ::open(converted.c_str(), Flags);
  if (descriptor == -1) errno = ENOENT;
  return descriptor;
}

}  // namespace

int64_t TextFile::readFully(char* out, int64_t capacity) {
  int64_t total = 0;
  while (total < capacity) {
    if (taken_ == buffered_) {
      if (buffer_ == nullptr) buffer_ = std::make_unique<char[]>(BufferSize);
      ssize_t got = ::read(descriptor_, buffer_.get(), BufferSize);
      if (got < 0) {
        if (errno == EINTR) {
          continue;
        }
        return -1;
      }
      if (got == 0) {
        break;
      }
      buffered_ = got;
      taken_ = 0;
    }
    int64_t count = std::min(capacity - total, buffered_ - taken_);
    std::memcpy(out + total, buffer_.get() + taken_, static_cast<size_t>(count));
    taken_ += count;
    total += count;
  }
  return total;
}

TextFile::~TextFile() { close(); }

bool TextFile::open(const char* path) {
  close();
  lastError_.clear();
  lastErrorNumber_ = 0;
  if (path == nullptr || *path == '\0') {
    lastErrorNumber_ = ENOENT;
    lastError_ = std::strerror(ENOENT);
    return false;
  }
  // O_NONBLOCK keeps a FIFO without a writer from blocking the open; the
  // descriptor is rejected below anyway unless it names a regular file.
  int descriptor = openForReading(path);
  if (descriptor == -1) {
    lastErrorNumber_ = errno;
    lastError_ = std::strerror(errno);
    return false;
  }
  struct stat status {};
  if (::fstat(descriptor, &status) != 0) {
    lastErrorNumber_ = errno;
    lastError_ = std::strerror(errno);
    ::close(descriptor);
    return false;
  }
  if (!S_ISREG(status.st_mode)) {
    lastError_ = S_ISDIR(status.st_mode) ? "is a directory" : "is not a regular file";
    ::close(descriptor);
    return false;
  }
  descriptor_ = descriptor;
  length_ = static_cast<int64_t>(status.st_size);
  buffered_ = taken_ = 0;
  ended_ = false;
  pendingByte_ = -1;
  textMode_ = true;
  return true;
}

void TextFile::close() {
  if (descriptor_ != -1) {
    ::close(descriptor_);  // nothing useful can be done about a failed close
  }
  descriptor_ = -1;
  length_ = 0;
  buffered_ = taken_ = 0;
  ended_ = false;
  pendingByte_ = -1;
}

int32_t TextFile::read(char* buffer, int32_t capacity) {
  if (descriptor_ == -1 || ended_ || buffer == nullptr || capacity <= 0) {
    return 0;
  }
  int64_t raw = 0;
  if (pendingByte_ != -1) {
    buffer[raw++] = static_cast<char>(pendingByte_);
    pendingByte_ = -1;
  }
  int64_t got = readFully(buffer + raw, capacity - raw);
  if (got < 0) {
    // A failing device will fail again: end the data instead of spinning.
    lastError_ = std::strerror(errno);
    ended_ = true;
    return 0;
  }
  raw += got;
  if (!textMode_) {
    return static_cast<int32_t>(raw);
  }
  if (std::memchr(buffer, CarriageReturn, static_cast<size_t>(raw)) == nullptr &&
      std::memchr(buffer, EndOfFileMark, static_cast<size_t>(raw)) == nullptr) {
    return static_cast<int32_t>(raw);
  }

  int64_t out = 0;
  for (int64_t i = 0; i < raw; ++i) {
    char c = buffer[i];
    if (c == EndOfFileMark) {
      ended_ = true;
      break;
    }
    if (c != CarriageReturn) {
      buffer[out++] = c;
    } else if (i + 1 < raw) {
      bool pair = buffer[i + 1] == LineFeed;
      buffer[out++] = pair ? LineFeed : CarriageReturn;
      i += pair ? 1 : 0;
    } else {
      // The CR ends the raw bytes: its fate depends on the byte after it,
      // which then begins the next read.
      char after = 0;
      int next = readFully(&after, 1) == 1 ? static_cast<unsigned char>(after) : -1;
      if (next == LineFeed && out == 0) {
        buffer[out++] = LineFeed;
      } else if (next == LineFeed) {
        pendingByte_ = LineFeed;
      } else {
        buffer[out++] = CarriageReturn;
        pendingByte_ = next;
      }
    }
  }
  return static_cast<int32_t>(out);
}

bool TextFile::rewind() {
  if (descriptor_ == -1) {
    return false;
  }
  ended_ = false;
  pendingByte_ = -1;
  buffered_ = taken_ = 0;
  return ::lseek(descriptor_, 0, SEEK_SET) == 0;
}

int32_t TextFile::peekStart(char* buffer, int32_t capacity) const {
  if (descriptor_ == -1 || buffer == nullptr || capacity <= 0) {
    return 0;
  }
  ssize_t got = ::pread(descriptor_, buffer, static_cast<size_t>(capacity), 0);
  return got < 0 ? 0 : static_cast<int32_t>(got);
}

bool isRegularFile(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool isDirectory(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace orbis::platform
