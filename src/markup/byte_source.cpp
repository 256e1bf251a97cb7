#include "markup/byte_source.h"

#include <algorithm>
#include <cstring>

namespace orbis {

namespace {

void zeroFill(char* buffer, int32_t length) {
  if (buffer != nullptr && length > 0) {
    std::memset(buffer, 0, static_cast<std::size_t>(length));
  }
}

}  // namespace

bool ByteSource::read(char*, int32_t&) { return false; }

FileSource::FileSource(const char* path, ReadProgress* progress) : progress_(progress) {
  if (progress_ != nullptr) progress_->store(0, std::memory_order_relaxed);
  if (path == nullptr || !file_.open(path)) {
    return;
  }
  fileLength_ = file_.length();
  if (fileLength_ <= 0) {
    // An empty file has nothing to show; treat it like a missing one.
    file_.close();
    fileLength_ = 0;
  }
}

FileSource::~FileSource() = default;

void FileSource::rewind() {
  if (file_.isOpen()) {
    file_.rewind();
  }
}

bool FileSource::read(char* buffer, int32_t& length) {
  if (!file_.isOpen() || buffer == nullptr || length <= 0) {
    zeroFill(buffer, length);
    return false;
  }
  int32_t count = file_.read(buffer, length);
  if (count <= 0) {
    zeroFill(buffer, length);
    return false;
  }
  // Only the bytes after the delivered ones need clearing.
  zeroFill(buffer + count, length - count);
  length = count;
  delivered_ += count;
  // A file that grew after it was opened must not push the bar past full.
  int64_t percent = std::min<int64_t>(delivered_ * 100 / fileLength_, 100);
  if (progress_ != nullptr)
    progress_->store(static_cast<int32_t>(percent), std::memory_order_relaxed);
  return true;
}

MemorySource::MemorySource(const char* block, int64_t blockLength)
    : block_(block), blockLength_(block == nullptr ? 0 : std::max<int64_t>(blockLength, 0)) {}

bool MemorySource::read(char* buffer, int32_t& length) {
  if (block_ == nullptr || buffer == nullptr || length <= 0 || delivered_ >= blockLength_) {
    zeroFill(buffer, length);
    return false;
  }
  int64_t count = std::min<int64_t>(length, blockLength_ - delivered_);
  std::memcpy(buffer, block_ + delivered_, static_cast<std::size_t>(count));
  zeroFill(buffer + count, length - static_cast<int32_t>(count));
  delivered_ += count;
  length = static_cast<int32_t>(count);
  return true;
}

}  // namespace orbis
