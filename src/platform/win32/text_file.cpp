// Text-mode reads through the C runtime's low-level files: the runtime
// itself turns CR LF into LF and ends the data at the first 0x1A. Only
// files on disk are read; a console, a pipe or a device name such as CON
// would wait for input that may never come.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstring>

#include "platform/text_file.h"

namespace orbis::platform {

namespace {

enum class FileKind { Missing, Regular, Directory, Other };

FileKind kindOfHandle(HANDLE handle) {
  if (handle == INVALID_HANDLE_VALUE || GetFileType(handle) != FILE_TYPE_DISK) {
    return FileKind::Other;
  }
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(handle, &information)) return FileKind::Other;
  return (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::Directory
                                                                        : FileKind::Regular;
}

// What path names, through links; opening it asks for no access at all.
FileKind kindOfPath(const std::string& path) {
  HANDLE handle =
      CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FileKind::Missing;
  FileKind kind = kindOfHandle(handle);
  CloseHandle(handle);
  return kind;
}

}  // namespace

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
  FileKind kind = kindOfPath(path);
  if (kind == FileKind::Directory || kind == FileKind::Other) {
    lastError_ = kind == FileKind::Directory ? "is a directory" : "is not a regular file";
    return false;
  }
  int descriptor = _open(path, _O_RDONLY | _O_TEXT | _O_NOINHERIT);
  if (descriptor == -1) {
    lastErrorNumber_ = errno;
    lastError_ = std::strerror(errno);
    return false;
  }
  // Checked again on what was opened: the name may lead elsewhere by now.
  if (kindOfHandle(reinterpret_cast<HANDLE>(_get_osfhandle(descriptor))) != FileKind::Regular) {
    lastError_ = "is not a regular file";
    _close(descriptor);
    return false;
  }
  descriptor_ = descriptor;
  length_ = _filelengthi64(descriptor);
  textMode_ = true;
  return true;
}

void TextFile::close() {
  if (descriptor_ != -1) _close(descriptor_);  // nothing useful can be done about a failure
  descriptor_ = -1;
  length_ = 0;
}

int32_t TextFile::read(char* buffer, int32_t capacity) {
  if (descriptor_ == -1 || buffer == nullptr || capacity <= 0) return 0;
  _setmode(descriptor_, textMode_ ? _O_TEXT : _O_BINARY);
  int got = _read(descriptor_, buffer, static_cast<unsigned>(capacity));
  if (got < 0) {
    lastError_ = std::strerror(errno);
    return 0;
  }
  return got;
}

bool TextFile::rewind() {
  // Seeking also forgets the end that a 0x1A marked.
  return descriptor_ != -1 && _lseeki64(descriptor_, 0, SEEK_SET) == 0;
}

// Read at an explicit offset from the system's handle, which moves its file
// pointer; the pointer goes back after. Seeking through the runtime instead
// would make it forget a 0x1A already met.
int32_t TextFile::peekStart(char* buffer, int32_t capacity) const {
  if (descriptor_ == -1 || buffer == nullptr || capacity <= 0) return 0;
  auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor_));
  LARGE_INTEGER position{};
  LARGE_INTEGER zero{};
  if (!SetFilePointerEx(handle, zero, &position, FILE_CURRENT)) return 0;
  OVERLAPPED start{};
  DWORD got = 0;
  BOOL read = ReadFile(handle, buffer, static_cast<DWORD>(capacity), &got, &start);
  SetFilePointerEx(handle, position, nullptr, FILE_BEGIN);
  return read ? static_cast<int32_t>(got) : 0;
}

bool isRegularFile(const std::string& path) { return kindOfPath(path) == FileKind::Regular; }

bool isDirectory(const std::string& path) { return kindOfPath(path) == FileKind::Directory; }

}  // namespace orbis::platform
