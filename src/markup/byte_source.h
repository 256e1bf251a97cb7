// Byte streams that the markup tokenizer pulls its chunks from: a file read
// in text mode, or a block of text in memory.
//
// read(buffer, length): on entry length is the capacity wanted; on return it
// is the number of bytes delivered. The whole capacity is zero-filled first,
// so the bytes after the delivered ones are always zero. Returns false at the
// end of the data (length then left as it was).
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/text_file.h"

namespace orbis {

// Where a FileSource publishes the percentage (0..100) of its file delivered
// so far. Written by the thread that reads, polled by another with relaxed
// loads; a stale value only delays a progress bar.
using ReadProgress = std::atomic<int32_t>;

class ByteSource {
public:
  virtual ~ByteSource() = default;
  virtual void rewind() {}
  virtual bool read(char* buffer, int32_t& length);
  virtual bool isOpen() const { return false; }
};

class FileSource : public ByteSource {
public:
  // Opens path (may be null) and sets progress, when given, to 0; reads
  // then keep it up to date. A missing, unreadable, non-regular or empty
  // file leaves the source not open.
  explicit FileSource(const char* path, ReadProgress* progress = nullptr);
  ~FileSource() override;

  void rewind() override;
  bool read(char* buffer, int32_t& length) override;
  bool isOpen() const override { return file_.isOpen(); }

  int64_t fileLength() const { return fileLength_; }
  int64_t delivered() const { return delivered_; }

  // Text-mode conversion of later reads (on by default), and the first
  // bytes of the file as they are, without reading: for a reader that must
  // know the encoding before the first read.
  void setTextMode(bool on) { file_.setTextMode(on); }
  int32_t peekStart(char* buffer, int32_t capacity) const {
    return file_.peekStart(buffer, capacity);
  }

private:
  platform::TextFile file_;
  ReadProgress* progress_;
  int64_t fileLength_ = 0;
  int64_t delivered_ = 0;
};

class MemorySource : public ByteSource {
public:
  // block may be null; the source does not own it.
  MemorySource(const char* block, int64_t blockLength);

  void rewind() override { delivered_ = 0; }
  bool read(char* buffer, int32_t& length) override;
  bool isOpen() const override { return block_ != nullptr; }

private:
  const char* block_;
  int64_t blockLength_;
  int64_t delivered_ = 0;
};

}  // namespace orbis
