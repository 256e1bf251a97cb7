// A file mapped read-only through the system. The file is opened sharing
// everything, so that the module that wrote it may still delete it; an
// empty file has no mapping at all, as the system makes none.
#include <windows.h>

#include <cstdint>

#include "platform/mapped_file.h"

namespace orbis::platform {

namespace {

std::string systemReason() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return "No such file or directory";
    case ERROR_ACCESS_DENIED:
      return "Permission denied";
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return "Not enough memory";
    default:
      return "cannot be read (error " + std::to_string(GetLastError()) + ")";
  }
}

// The whole file's view; null with the reason in error.
void* mapWhole(HANDLE file, std::string& error) {
  HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  void* data = mapping != nullptr ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
  if (data == nullptr) error = systemReason();
  // The view keeps the mapping alive.
  if (mapping != nullptr) CloseHandle(mapping);
  return data;
}

// Why an opened file is no regular file that can be mapped; empty, with its
// size, when it is one.
std::string whyNotMappable(HANDLE file, std::size_t& size) {
  BY_HANDLE_FILE_INFORMATION information{};
  LARGE_INTEGER length{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &information)) {
    return "is not a regular file";
  }
  if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return "is a directory";
  if (!GetFileSizeEx(file, &length)) return systemReason();
  if (static_cast<uint64_t>(length.QuadPart) > SIZE_MAX) return "is too large to map";
  size = static_cast<std::size_t>(length.QuadPart);
  return {};
}

}  // namespace

MappedFile::~MappedFile() { close(); }

bool MappedFile::open(const char* path) {
  close();
  lastError_.clear();
  HANDLE file =
      CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    lastError_ = systemReason();
    return false;
  }
  std::size_t size = 0;
  lastError_ = whyNotMappable(file, size);
  if (lastError_.empty() && size > 0) {
    data_ = mapWhole(file, lastError_);
    size_ = data_ != nullptr ? size : 0;
  }
  CloseHandle(file);
  return lastError_.empty();
}

void MappedFile::close() {
  if (data_ != nullptr) UnmapViewOfFile(data_);
  data_ = nullptr;
  size_ = 0;
}

}  // namespace orbis::platform
