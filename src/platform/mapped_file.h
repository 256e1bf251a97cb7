// A whole file mapped read-only into memory, so that a large text can be
// shown without being copied: the hosts' editors read their files through
// it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orbis::platform {

class MappedFile {
public:
  MappedFile() = default;
  ~MappedFile();  // unmaps
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // Maps the regular file at path; an empty file maps to no bytes. False
  // with a short reason in lastError() when it cannot be opened or mapped.
  bool open(const char* path);
  void close();

  // The file's bytes as they were when it was opened; valid until close.
  std::string_view bytes() const { return {static_cast<const char*>(data_), size_}; }
  const std::string& lastError() const { return lastError_; }

private:
  void* data_ = nullptr;
  std::size_t size_ = 0;
  std::string lastError_;
};

}  // namespace orbis::platform
